#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "engine/scene/Picture.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

// A 5 × 3 picture whose pixels all differ, with runs of equal pixels for the run-length cases.
Picture TestPicture(bool withAlpha)
{
    Picture picture;
    picture.width = 5;
    picture.height = 3;
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 5; ++x) {
            const bool run = y == 2 && x < 4;
            const uint8_t r = run ? 200 : static_cast<uint8_t>(40 * x + 10);
            const uint8_t g = run ? 100 : static_cast<uint8_t>(70 * y + 5);
            const uint8_t b = run ? 50 : static_cast<uint8_t>(11 * (x + y));
            const uint8_t a = withAlpha ? static_cast<uint8_t>(255 - 30 * x - y) : 255;
            picture.rgba.insert(picture.rgba.end(), {r, g, b, a});
        }
    }
    return picture;
}

Picture Greyed(Picture picture)
{
    for (size_t i = 0; i < picture.rgba.size(); i += 4) {
        picture.rgba[i + 1] = picture.rgba[i + 2] = picture.rgba[i];
        picture.rgba[i + 3] = 255;
    }
    return picture;
}

struct LosslessCase {
    const char* name;
    std::vector<uint8_t> file;
    Picture expected;
};

PictureWriter::TgaOptions Tga(PictureWriter::TgaLayout layout, bool alpha, bool runLength, bool topDown, bool rightToLeft = false)
{
    PictureWriter::TgaOptions options;
    options.layout = layout;
    options.alpha = alpha;
    options.runLength = runLength;
    options.topDown = topDown;
    options.rightToLeft = rightToLeft;
    return options;
}

std::vector<LosslessCase> LosslessCases()
{
    using L = PictureWriter::TgaLayout;
    const Picture opaque = TestPicture(false);
    const Picture translucent = TestPicture(true);
    const Picture grey = Greyed(opaque);
    return {
        {"tga 24 bottom-up", PictureWriter::Tga(opaque, Tga(L::TrueColour, false, false, false)), opaque},
        {"tga 24 top-down", PictureWriter::Tga(opaque, Tga(L::TrueColour, false, false, true)), opaque},
        {"tga 32 bottom-up", PictureWriter::Tga(translucent, Tga(L::TrueColour, true, false, false)), translucent},
        {"tga 32 right-to-left", PictureWriter::Tga(translucent, Tga(L::TrueColour, true, false, true, true)), translucent},
        {"tga 24 run-length", PictureWriter::Tga(opaque, Tga(L::TrueColour, false, true, false)), opaque},
        {"tga 32 run-length top-down", PictureWriter::Tga(translucent, Tga(L::TrueColour, true, true, true)), translucent},
        {"tga grey", PictureWriter::Tga(grey, Tga(L::Grey, false, false, false)), grey},
        {"tga grey run-length", PictureWriter::Tga(grey, Tga(L::Grey, false, true, true)), grey},
        {"tga colour-mapped 24", PictureWriter::Tga(opaque, Tga(L::ColourMapped, false, false, false)), opaque},
        {"tga colour-mapped 32 run-length", PictureWriter::Tga(translucent, Tga(L::ColourMapped, true, true, false)), translucent},
        {"bmp 24 bottom-up", PictureWriter::Bmp(opaque, 24, false), opaque},
        {"bmp 32 top-down", PictureWriter::Bmp(opaque, 32, true), opaque},
        {"bmp 8 palette", PictureWriter::Bmp(opaque, 8, false), opaque},
        {"png rgba", PictureWriter::Png(translucent), translucent},
    };
}

TEST(PictureDecoder, LosslessKindsDecodeToTheExactPixelsTopRowFirst)
{
    for (const LosslessCase& c : LosslessCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.file.empty());
        Picture decoded;
        ASSERT_TRUE(DecodePicture(c.file.data(), c.file.size(), decoded));
        EXPECT_EQ(decoded.width, c.expected.width);
        EXPECT_EQ(decoded.height, c.expected.height);
        EXPECT_EQ(decoded.rgba, c.expected.rgba);
    }
}

TEST(PictureDecoder, JpegDecodesCloseToTheOriginalAndOpaque)
{
    Picture smooth;
    smooth.width = 32;
    smooth.height = 16;
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 32; ++x) {
            smooth.rgba.insert(smooth.rgba.end(), {static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 16), 128, 255});
        }
    }
    const std::vector<uint8_t> file = PictureWriter::Jpeg(smooth, 100);
    Picture decoded;
    ASSERT_TRUE(DecodePicture(file.data(), file.size(), decoded));
    ASSERT_EQ(decoded.width, 32u);
    ASSERT_EQ(decoded.height, 16u);
    int worst = 0;
    for (size_t i = 0; i < decoded.rgba.size(); ++i) {
        if (i % 4 == 3) {
            EXPECT_EQ(decoded.rgba[i], 255);
            continue;
        }
        worst = std::max(worst, std::abs(decoded.rgba[i] - smooth.rgba[i]));
    }
    EXPECT_LE(worst, 8);
}

TEST(PictureDecoder, GreyJpegComesOutAsEqualRedGreenAndBlue)
{
    Picture ramp;
    ramp.width = 16;
    ramp.height = 8;
    for (uint32_t i = 0; i < 16 * 8; ++i) {
        const uint8_t v = static_cast<uint8_t>((i % 16) * 16);
        ramp.rgba.insert(ramp.rgba.end(), {v, v, v, 255});
    }
    const std::vector<uint8_t> file = PictureWriter::Jpeg(ramp, 100, true);
    Picture decoded;
    ASSERT_TRUE(DecodePicture(file.data(), file.size(), decoded));
    ASSERT_EQ(decoded.rgba.size(), ramp.rgba.size());
    for (size_t i = 0; i < decoded.rgba.size(); i += 4) {
        EXPECT_EQ(decoded.rgba[i], decoded.rgba[i + 1]);
        EXPECT_EQ(decoded.rgba[i], decoded.rgba[i + 2]);
        EXPECT_NEAR(decoded.rgba[i], ramp.rgba[i], 6);
        EXPECT_EQ(decoded.rgba[i + 3], 255);
    }
}

TEST(PictureDecoder, EveryTruncationFailsCleanly)
{
    std::vector<LosslessCase> cases = LosslessCases();
    cases.push_back({"jpeg", PictureWriter::Jpeg(TestPicture(false), 90), TestPicture(false)});
    for (const LosslessCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t size = 0; size < c.file.size(); ++size) {
            // BMP rows carry padding and a 24-bit TGA or BMP file has no trailer, so only cuts
            // into the pixels they need are truncations.
            Picture decoded;
            const std::vector<uint8_t> cut(c.file.begin(), c.file.begin() + static_cast<long>(size));
            const bool ok = DecodePicture(cut.data(), cut.size(), decoded);
            EXPECT_FALSE(ok) << "cut at " << size << " of " << c.file.size();
            EXPECT_TRUE(decoded.rgba.empty());
            EXPECT_EQ(decoded.width, 0u);
        }
    }
}

struct CorruptCase {
    const char* name;
    std::vector<uint8_t> file;
};

std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t offset, std::vector<uint8_t> bytes)
{
    std::memcpy(file.data() + offset, bytes.data(), bytes.size());
    return file;
}

TEST(PictureDecoder, CorruptAndOversizedPicturesAreRefused)
{
    using L = PictureWriter::TgaLayout;
    const Picture opaque = TestPicture(false);
    const std::vector<uint8_t> tga = PictureWriter::Tga(opaque, Tga(L::TrueColour, false, false, false));
    const std::vector<uint8_t> mapped = PictureWriter::Tga(opaque, Tga(L::ColourMapped, false, false, false));
    const std::vector<uint8_t> bmp = PictureWriter::Bmp(opaque, 24, false);
    const std::vector<uint8_t> bmp8 = PictureWriter::Bmp(opaque, 8, false);
    const std::vector<uint8_t> png = PictureWriter::Png(opaque);
    const std::vector<uint8_t> jpeg = PictureWriter::Jpeg(opaque, 90);
    const size_t bmp8Pixels = bmp8.size() - 3 * 8;
    const std::vector<CorruptCase> cases = {
        {"empty", {}},
        {"unknown bytes", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', 0, 0, 0, 0, 0, 0, 0}},
        {"tga of 65535 x 65535 with a few bytes", Patched(tga, 12, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"tga of width 0", Patched(tga, 12, {0, 0})},
        {"tga of 16 bits a pixel", Patched(tga, 16, {16})},
        {"tga of an unknown type", Patched(tga, 2, {4})},
        {"tga run-length of an unknown type", Patched(tga, 2, {12})},
        {"tga colour index beyond its map", Patched(mapped, mapped.size() - 1, {200})},
        {"tga colour map longer than the file", Patched(mapped, 5, {0xFF, 0xFF})},
        {"bmp run-length compressed", Patched(bmp, 30, {1})},
        {"bmp of 20000 pixels a side", Patched(bmp, 18, {0x20, 0x4E, 0, 0})},
        {"bmp of 16 bits", Patched(bmp, 28, {16})},
        {"bmp of height 0", Patched(bmp, 22, {0, 0, 0, 0})},
        {"bmp pixels beyond the file", Patched(bmp, 10, {0xFF, 0xFF, 0, 0})},
        {"bmp palette index beyond its palette", Patched(bmp8, bmp8Pixels, {250})},
        {"png with a broken header chunk", Patched(png, 16, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"png signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8)},
        {"jpeg with its frame header overwritten", Patched(jpeg, 20, std::vector<uint8_t>(40, 0xFF))},
        {"jpeg start marker only", {0xFF, 0xD8}},
    };
    for (const CorruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        Picture decoded;
        EXPECT_FALSE(DecodePicture(c.file.data(), c.file.size(), decoded));
        EXPECT_TRUE(decoded.rgba.empty());
    }
}

// A PNG whose header chunk claims the given width, with the chunk's checksum made right again.
std::vector<uint8_t> PngOfWidth(uint32_t width)
{
    std::vector<uint8_t> png = PictureWriter::Png(TestPicture(false));
    const uint8_t big[4] = {static_cast<uint8_t>(width >> 24), static_cast<uint8_t>(width >> 16),
                            static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width)};
    std::memcpy(&png[16], big, 4);
    const uLong crc = crc32(0, &png[12], 17);
    const uint8_t sum[4] = {static_cast<uint8_t>(crc >> 24), static_cast<uint8_t>(crc >> 16), static_cast<uint8_t>(crc >> 8),
                            static_cast<uint8_t>(crc)};
    std::memcpy(&png[29], sum, 4);
    return png;
}

// A JPEG whose frame header claims the given width.
std::vector<uint8_t> JpegOfWidth(uint16_t width)
{
    std::vector<uint8_t> jpeg = PictureWriter::Jpeg(TestPicture(false), 90);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            break;
        }
    }
    return jpeg;
}

TEST(PictureDecoder, CompressedPicturesClaimingMoreThanTheLargestSideAreRefused)
{
    for (const std::vector<uint8_t>& file : {PngOfWidth(kMaxPictureSide + 1), JpegOfWidth(kMaxPictureSide + 1)}) {
        Picture decoded;
        EXPECT_FALSE(DecodePicture(file.data(), file.size(), decoded));
        EXPECT_TRUE(decoded.rgba.empty());
    }
}

TEST(PictureDecoder, FlippedBytesNeverCrashAndSuccessGivesAWholePicture)
{
    const Picture opaque = TestPicture(false);
    const std::vector<std::vector<uint8_t>> files = {
        PictureWriter::Tga(opaque, Tga(PictureWriter::TgaLayout::TrueColour, false, true, false)),
        PictureWriter::Bmp(opaque, 8, false), PictureWriter::Png(opaque), PictureWriter::Jpeg(opaque, 75)};
    for (const std::vector<uint8_t>& file : files) {
        for (size_t at = 0; at < file.size(); ++at) {
            std::vector<uint8_t> broken = file;
            broken[at] ^= 0xA5;
            Picture decoded;
            if (DecodePicture(broken.data(), broken.size(), decoded)) {
                EXPECT_EQ(decoded.rgba.size(), static_cast<size_t>(decoded.width) * decoded.height * 4);
            } else {
                EXPECT_TRUE(decoded.rgba.empty());
            }
        }
    }
}

TEST(PictureDecoder, ADecodeIntoAUsedPictureReplacesItOrEmptiesIt)
{
    const std::vector<uint8_t> png = PictureWriter::Png(TestPicture(true));
    Picture picture = TestPicture(false);
    picture.width = 99;
    const uint8_t garbage[] = {1, 2, 3};
    EXPECT_FALSE(DecodePicture(garbage, sizeof garbage, picture));
    EXPECT_EQ(picture.width, 0u);
    EXPECT_TRUE(picture.rgba.empty());
    ASSERT_TRUE(DecodePicture(png.data(), png.size(), picture));
    EXPECT_EQ(picture.rgba, TestPicture(true).rgba);
}

}  // namespace
