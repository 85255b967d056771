#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/scene/Picture.h"
#include "tests/content/ContentSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/content/AssetSet.h"
#include "tools/content/interface/InterfacePictures.h"
#include "tools/content/interface/InterfacePreviews.h"

namespace {

// What the game does with a picture decides what it must look like at its edges.
enum class Use {
    Opaque,    // a dialog bitmap: every pixel opaque
    Additive,  // added onto the screen: opaque, and black along the border so no square shows
    Overlay,   // alpha-blended over the scene: clear somewhere, solid somewhere
    Particle,  // an alpha-blended particle: clear all along the border, visible inside
};

struct Expected {
    const char* name;
    bool (*decode)(const uint8_t*, size_t, Picture&);
    uint32_t width;
    uint32_t height;
    Use use;
};

const Expected kPictures[] = {
    {"hud_player.tga", DecodeTga, 512, 192, Use::Overlay},   {"barra_player.tga", DecodeTga, 64, 110, Use::Overlay},
    {"hud_boss.tga", DecodeTga, 1024, 128, Use::Overlay},    {"barra_boss.tga", DecodeTga, 64, 64, Use::Overlay},
    {"banner.tga", DecodeTga, 1024, 384, Use::Overlay},      {"tetters.jpg", DecodeJpeg, 640, 48, Use::Additive},
    {"tiro.jpg", DecodeJpeg, 64, 64, Use::Additive},         {"shock.jpg", DecodeJpeg, 128, 128, Use::Additive},
    {"exp0.tga", DecodeTga, 256, 256, Use::Particle},        {"exp1.tga", DecodeTga, 256, 256, Use::Particle},
    {"exp2.tga", DecodeTga, 256, 256, Use::Particle},        {"exp3.tga", DecodeTga, 256, 256, Use::Particle},
    {"exp4.tga", DecodeTga, 256, 256, Use::Particle},        {"exp5.tga", DecodeTga, 256, 256, Use::Particle},
    {"exp6.tga", DecodeTga, 256, 256, Use::Particle},        {"exp7.tga", DecodeTga, 256, 256, Use::Particle},
    {"end_credits.tga", DecodeTga, 1024, 768, Use::Overlay}, {"logo.bmp", DecodeBmp, 126, 89, Use::Opaque},
    {"icon.png", DecodePng, 256, 256, Use::Overlay},
};

struct Pixel {
    int r, g, b, a;
    int Brightness() const { return (299 * r + 587 * g + 114 * b) / 1000; }
};

Pixel At(const Picture& picture, uint32_t x, uint32_t y)
{
    const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// The pixel under the texture coordinates (u, v) of the picture.
Pixel AtUv(const Picture& picture, double u, double v)
{
    return At(picture, std::min(picture.width - 1, static_cast<uint32_t>(u * picture.width)),
              std::min(picture.height - 1, static_cast<uint32_t>(v * picture.height)));
}

// The pictures as the build packed them into data.qzr, read back as the game reads them.
class InterfacePictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const Expected& expected : kPictures) {
            const std::vector<uint8_t> bytes = content::Entry(expected.name);
            if (!bytes.empty()) packed_.Add(expected.name, bytes);
        }
    }

    static Picture Decoded(const std::string& name, bool (*decode)(const uint8_t*, size_t, Picture&) = DecodePicture)
    {
        Picture picture;
        const AssetSet::File* file = packed_.Find(name);
        if (file != nullptr) decode(file->bytes.data(), file->bytes.size(), picture);
        return picture;
    }

    static inline AssetSet packed_{""};
};

TEST_F(InterfacePictures, EveryPictureIsMadeAndDecodesAtItsSizeWithTheAlphaItsUseNeeds)
{
    ASSERT_EQ(packed_.Files().size(), std::size(kPictures)) << "every picture is in data.qzr";
    for (const Expected& expected : kPictures) {
        SCOPED_TRACE(expected.name);
        const Picture picture = Decoded(expected.name, expected.decode);
        ASSERT_EQ(picture.width, expected.width);
        ASSERT_EQ(picture.height, expected.height);
        int minAlpha = 255;
        int maxAlpha = 0;
        int borderAlpha = 0;
        int borderBrightness = 0;
        for (uint32_t y = 0; y < picture.height; ++y) {
            for (uint32_t x = 0; x < picture.width; ++x) {
                const Pixel p = At(picture, x, y);
                minAlpha = std::min(minAlpha, p.a);
                maxAlpha = std::max(maxAlpha, p.a);
                if (x != 0 && y != 0 && x + 1 != picture.width && y + 1 != picture.height) continue;
                borderAlpha = std::max(borderAlpha, p.a);
                borderBrightness = std::max({borderBrightness, p.r, p.g, p.b});
            }
        }
        const bool opaque = expected.use == Use::Opaque || expected.use == Use::Additive;
        EXPECT_EQ(minAlpha, opaque ? 255 : 0);
        EXPECT_GE(maxAlpha, expected.use == Use::Overlay || opaque ? 255 : 128);
        if (expected.use == Use::Additive) {
            EXPECT_LE(borderBrightness, 6);
        }
        if (expected.use == Use::Particle) {
            EXPECT_EQ(borderAlpha, 0);
        }
    }
    // The credits leave the player's HUD, which stays on the screen, uncovered.
    const Picture credits = Decoded("end_credits.tga", DecodeTga);
    for (uint32_t y = 0; y < credits.height / 8; ++y)
        for (uint32_t x = 0; x < credits.width / 4; ++x) ASSERT_EQ(At(credits, x, y).a, 0) << x << ", " << y;
    // The dialog's bitmap: 24 bits per pixel, uncompressed.
    const std::vector<uint8_t>& logo = packed_.Find("logo.bmp")->bytes;
    ASSERT_GT(logo.size(), 34u);
    EXPECT_EQ(logo[28] | (logo[29] << 8), 24);
    EXPECT_EQ(logo[30] | logo[31] | logo[32] | logo[33], 0);
}

// The frames are stretched over their screen rectangles and the game lays segment i over screen
// x first + step·i to first + step·(i + 1), y 0.025 to 0.08: the frame must be dark or clear
// there and solid metal around the row.
TEST_F(InterfacePictures, HudFramesHaveASlotExactlyWhereEachSegmentFalls)
{
    const struct {
        const char* frame;
        double frameLeft, frameWidth;  // on the screen
        int slots;
        double first, step;  // on the screen
    } kFrames[] = {
        {"hud_player.tga", 0.0, 0.25, 5, 0.11, 0.024},
        {"hud_boss.tga", 0.25, 0.75, 15, 0.36, 0.04133333333333333},
    };
    const double kSlotTop = 0.025 / 0.125;
    const double kSlotBottom = 0.08 / 0.125;
    const auto dark = [](Pixel p) { return p.a < 64 || p.Brightness() < 40; };
    const auto metal = [](Pixel p) { return p.a > 230 && p.Brightness() > 50; };
    for (const auto& hud : kFrames) {
        SCOPED_TRACE(hud.frame);
        const Picture picture = Decoded(hud.frame);
        ASSERT_FALSE(picture.rgba.empty());
        for (int i = 0; i < hud.slots; ++i) {
            SCOPED_TRACE(i);
            const double left = (hud.first + hud.step * i - hud.frameLeft) / hud.frameWidth;
            const double width = hud.step / hud.frameWidth;
            for (double fx : {0.2, 0.5, 0.8}) {
                for (double fy : {0.15, 0.5, 0.85}) EXPECT_TRUE(dark(AtUv(picture, left + fx * width, kSlotTop + fy * (kSlotBottom - kSlotTop))));
            }
            EXPECT_TRUE(metal(AtUv(picture, left + 0.5 * width, 0.08)));
            EXPECT_TRUE(metal(AtUv(picture, left + 0.5 * width, 0.88)));
        }
        // The row of slots ends where the segments do: metal a few pixels beyond either end.
        const double rowLeft = (hud.first - hud.frameLeft) / hud.frameWidth;
        const double rowRight = rowLeft + hud.slots * hud.step / hud.frameWidth;
        const double beyond = 12.0 / picture.width;
        EXPECT_TRUE(metal(AtUv(picture, rowLeft - beyond, 0.5 * (kSlotTop + kSlotBottom))));
        EXPECT_TRUE(metal(AtUv(picture, rowRight + beyond, 0.5 * (kSlotTop + kSlotBottom))));
    }
}

TEST_F(InterfacePictures, PreviewSheetsShowThePicturesAndNameWhatIsMissing)
{
    const TempFolder dir("previews");
    std::string error;
    ASSERT_TRUE(WriteInterfacePreviews(packed_, dir.Path().string(), error)) << error;
    // Every sheet is a PNG; on the HUD's, three of the player's five segments are shown: the first slot lit, the last dark.
    for (const char* name : {"hud.png", "hud_parts.png", "title.png", "explosion.png", "credits.png", "emblem.png"}) {
        std::ifstream in(dir.Path() / name, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        Picture sheet;
        ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), sheet)) << name;
        if (std::string(name) == "hud.png") {
            EXPECT_GT(At(sheet, 80, 25).Brightness(), 3 * At(sheet, 146, 25).Brightness());
        }
    }
    AssetSet withoutBanner;
    for (const AssetSet::File& file : packed_.Files()) {
        if (file.name != "banner.tga") withoutBanner.Add(file.name, file.bytes);
    }
    EXPECT_FALSE(WriteInterfacePreviews(withoutBanner, dir.Path().string(), error));
    EXPECT_NE(error.find("banner.tga"), std::string::npos) << error;
    EXPECT_FALSE(WriteInterfacePreviews(packed_, "/nonexistent/previews", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

TEST(InterfaceFonts, AMissingOrBrokenFontIsNamedAndNothingIsMade)
{
    const TempFolder dir("fonts");
    // A font cut short after its first bytes, beside the other faces intact.
    for (const char* face : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif-Bold.ttf"})
        std::filesystem::copy_file(std::string(kDejaVuFontDirectory) + "/" + face, dir / face);
    std::filesystem::resize_file(dir / "DejaVuSans-Bold.ttf", 100);
    const std::pair<std::string, std::string> kCases[] = {{"/nonexistent/fonts", "/nonexistent/fonts/DejaVuSans.ttf"},
                                                          {dir.Path().string(), dir / "DejaVuSans-Bold.ttf"}};
    for (const auto& [directory, named] : kCases) {
        AssetSet assets;
        std::string error;
        EXPECT_FALSE(PaintInterfacePictures(assets, directory, error));
        EXPECT_NE(error.find(named), std::string::npos) << error;
        EXPECT_TRUE(assets.Files().empty());
    }
}

}  // namespace
