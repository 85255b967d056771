#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <zlib.h>

#include "engine/scene/Picture.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

using L = PictureWriter::TgaLayout;

Picture Generated(uint32_t width, uint32_t height, const std::function<std::vector<uint8_t>(uint32_t, uint32_t)>& pixel)
{
    Picture picture{width, height, {}};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const std::vector<uint8_t> rgba = pixel(x, y);
            picture.rgba.insert(picture.rgba.end(), rgba.begin(), rgba.end());
        }
    }
    return picture;
}

// A 5 × 3 picture whose pixels all differ, but for a run of equal ones for the run-length cases.
Picture TestPicture(bool withAlpha)
{
    return Generated(5, 3, [withAlpha](uint32_t x, uint32_t y) -> std::vector<uint8_t> {
        const uint8_t a = withAlpha ? static_cast<uint8_t>(255 - 30 * x - y) : 255;
        if (y == 2 && x < 4) return {200, 100, 50, a};
        return {static_cast<uint8_t>(40 * x + 10), static_cast<uint8_t>(70 * y + 5), static_cast<uint8_t>(11 * (x + y)), a};
    });
}

struct FileCase {
    const char* name;
    std::vector<uint8_t> file;
    Picture expected;
};

std::vector<FileCase> LosslessCases()
{
    const Picture opaque = TestPicture(false);
    const Picture translucent = TestPicture(true);
    Picture grey = opaque;
    for (size_t i = 0; i < grey.rgba.size(); i += 4) grey.rgba[i + 1] = grey.rgba[i + 2] = grey.rgba[i];
    using W = PictureWriter;
    return {
        {"tga 24 bottom-up", W::Tga(opaque, {}), opaque},
        {"tga 24 top-down", W::Tga(opaque, {.topDown = true}), opaque},
        {"tga 32 bottom-up", W::Tga(translucent, {.alpha = true}), translucent},
        {"tga 32 right-to-left", W::Tga(translucent, {.alpha = true, .topDown = true, .rightToLeft = true}), translucent},
        {"tga 24 run-length", W::Tga(opaque, {.runLength = true}), opaque},
        {"tga 32 run-length top-down", W::Tga(translucent, {.alpha = true, .runLength = true, .topDown = true}), translucent},
        {"tga grey", W::Tga(grey, {.layout = L::Grey}), grey},
        {"tga grey run-length", W::Tga(grey, {.layout = L::Grey, .runLength = true, .topDown = true}), grey},
        {"tga colour-mapped 24", W::Tga(opaque, {.layout = L::ColourMapped}), opaque},
        {"tga colour-mapped 32 run-length", W::Tga(translucent, {.layout = L::ColourMapped, .alpha = true, .runLength = true}), translucent},
        {"bmp 24 bottom-up", W::Bmp(opaque, 24, false), opaque},
        {"bmp 32 top-down", W::Bmp(opaque, 32, true), opaque},
        {"bmp 8 palette", W::Bmp(opaque, 8, false), opaque},
        {"png rgba", W::Png(translucent), translucent},
    };
}

TEST(PictureDecoder, LosslessKindsDecodeToTheExactPixelsTopRowFirst)
{
    for (const FileCase& c : LosslessCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.file.empty());
        Picture decoded = TestPicture(true);  // a used picture is replaced
        ASSERT_TRUE(DecodePicture(c.file.data(), c.file.size(), decoded));
        EXPECT_EQ(decoded.width, c.expected.width);
        EXPECT_EQ(decoded.height, c.expected.height);
        EXPECT_EQ(decoded.rgba, c.expected.rgba);
    }
}

TEST(PictureDecoder, JpegDecodesOpaqueAndCloseToTheOriginalAndGreyAsEqualChannels)
{
    const Picture smooth = Generated(32, 16, [](uint32_t x, uint32_t y) -> std::vector<uint8_t> {
        return {static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 16), 128, 255};
    });
    const Picture ramp = Generated(16, 8, [](uint32_t x, uint32_t) -> std::vector<uint8_t> {
        const uint8_t v = static_cast<uint8_t>(x * 16);
        return {v, v, v, 255};
    });
    for (const bool grey : {false, true}) {
        SCOPED_TRACE(grey ? "grey" : "colour");
        const Picture& original = grey ? ramp : smooth;
        const std::vector<uint8_t> file = PictureWriter::Jpeg(original, 100, grey);
        Picture decoded;
        ASSERT_TRUE(DecodePicture(file.data(), file.size(), decoded));
        ASSERT_EQ(decoded.width, original.width);
        ASSERT_EQ(decoded.height, original.height);
        for (size_t i = 0; i < decoded.rgba.size(); i += 4) {
            for (size_t c = 0; c < 3; ++c) EXPECT_LE(std::abs(decoded.rgba[i + c] - original.rgba[i + c]), grey ? 6 : 8);
            EXPECT_TRUE(!grey || (decoded.rgba[i] == decoded.rgba[i + 1] && decoded.rgba[i] == decoded.rgba[i + 2]));
            EXPECT_EQ(decoded.rgba[i + 3], 255);
        }
    }
}

TEST(PictureDecoder, EveryTruncationFailsCleanly)
{
    std::vector<FileCase> cases = LosslessCases();
    cases.push_back({"jpeg", PictureWriter::Jpeg(TestPicture(false), 90), {}});
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t size = 0; size < c.file.size(); ++size) {
            // BMP rows carry padding and a 24-bit TGA or BMP file has no trailer, so only cuts
            // into the pixels they need are truncations.
            // A copy of its own, so that reading past the cut shows under the address sanitizer.
            const std::vector<uint8_t> cut(c.file.begin(), c.file.begin() + static_cast<long>(size));
            Picture decoded = TestPicture(false);  // a used picture is emptied
            EXPECT_FALSE(DecodePicture(cut.data(), cut.size(), decoded)) << "cut at " << size << " of " << c.file.size();
            EXPECT_TRUE(decoded.rgba.empty());
            EXPECT_EQ(decoded.width, 0u);
        }
    }
}

std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t offset, std::vector<uint8_t> bytes)
{
    std::memcpy(file.data() + offset, bytes.data(), bytes.size());
    return file;
}

std::vector<uint8_t> BigEndian(uint32_t value, int bytes)
{
    std::vector<uint8_t> out;
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
}

// A PNG whose header chunk claims the given width, with the chunk's checksum made right again.
std::vector<uint8_t> PngOfWidth(uint32_t width)
{
    std::vector<uint8_t> png = Patched(PictureWriter::Png(TestPicture(false)), 16, BigEndian(width, 4));
    return Patched(png, 29, BigEndian(static_cast<uint32_t>(crc32(0, &png[12], 17)), 4));
}

// A JPEG whose frame header claims the given width.
std::vector<uint8_t> JpegOfWidth(uint16_t width)
{
    std::vector<uint8_t> jpeg = PictureWriter::Jpeg(TestPicture(false), 90);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return Patched(jpeg, i + 7, BigEndian(width, 2));
    }
    return {};
}

TEST(PictureDecoder, CorruptAndOversizedPicturesAreRefused)
{
    const Picture opaque = TestPicture(false);
    const std::vector<uint8_t> tga = PictureWriter::Tga(opaque, {});
    const std::vector<uint8_t> mapped = PictureWriter::Tga(opaque, {.layout = L::ColourMapped});
    // Fourteen of the fifteen pixels in one run, then a run of two.
    std::vector<uint8_t> runPastTheEnd = PictureWriter::Tga(opaque, {.runLength = true});
    runPastTheEnd.resize(18);
    runPastTheEnd.insert(runPastTheEnd.end(), {0x8D, 1, 2, 3, 0x81, 4, 5, 6});
    const std::vector<uint8_t> bmp = PictureWriter::Bmp(opaque, 24, false);
    const std::vector<uint8_t> bmp8 = PictureWriter::Bmp(opaque, 8, false);
    const std::vector<uint8_t> png = PictureWriter::Png(opaque);
    const std::vector<uint8_t> jpeg = PictureWriter::Jpeg(opaque, 90);
    const struct { const char* name; std::vector<uint8_t> file; } cases[] = {
        {"empty", {}},
        {"unknown bytes", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', 0, 0, 0, 0, 0, 0, 0}},
        {"tga of 65535 x 65535 with a few bytes", Patched(tga, 12, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"tga of width 0", Patched(tga, 12, {0, 0})},
        {"tga of 16 bits a pixel", Patched(tga, 16, {16})},
        {"tga of an unknown type", Patched(tga, 2, {4})},
        {"tga run-length of an unknown type", Patched(tga, 2, {12})},
        {"tga colour index beyond its map", Patched(mapped, mapped.size() - 1, {200})},
        {"tga colour map longer than the file", Patched(mapped, 5, {0xFF, 0xFF})},
        {"tga run past the last pixel", runPastTheEnd},
        {"bmp run-length compressed", Patched(bmp, 30, {1})},
        {"bmp of 20000 pixels a side", Patched(bmp, 18, {0x20, 0x4E, 0, 0})},
        {"bmp of 16 bits", Patched(bmp, 28, {16})},
        {"bmp of height 0", Patched(bmp, 22, {0, 0, 0, 0})},
        {"bmp pixels beyond the file", Patched(bmp, 10, {0xFF, 0xFF, 0, 0})},
        {"bmp palette index beyond its palette", Patched(bmp8, bmp8.size() - 3 * 8, {250})},
        {"png with a broken header chunk", Patched(png, 16, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"png signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8)},
        {"png wider than the largest side", PngOfWidth(kMaxPictureSide + 1)},
        {"jpeg with its frame header overwritten", Patched(jpeg, 20, std::vector<uint8_t>(40, 0xFF))},
        {"jpeg start marker only", {0xFF, 0xD8}},
        {"jpeg wider than the largest side", JpegOfWidth(kMaxPictureSide + 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture decoded;
        EXPECT_FALSE(DecodePicture(c.file.data(), c.file.size(), decoded));
        EXPECT_TRUE(decoded.rgba.empty());
    }
}

TEST(PictureDecoder, FlippedBytesNeverCrashAndSuccessGivesAWholePicture)
{
    const Picture opaque = TestPicture(false);
    for (const std::vector<uint8_t>& file : {PictureWriter::Tga(opaque, {.runLength = true}), PictureWriter::Bmp(opaque, 8, false),
                                             PictureWriter::Png(opaque), PictureWriter::Jpeg(opaque, 75)}) {
        for (size_t at = 0; at < file.size(); ++at) {
            std::vector<uint8_t> broken = file;
            broken[at] ^= 0xA5;
            Picture decoded;
            const bool ok = DecodePicture(broken.data(), broken.size(), decoded);
            EXPECT_EQ(decoded.rgba.size(), ok ? static_cast<size_t>(decoded.width) * decoded.height * 4 : 0u);
        }
    }
}

}  // namespace
