#include <gtest/gtest.h>

#include <vector>

#include "engine/device/DeviceTexture.h"
#include "engine/device/MipLevel.h"

namespace {

// Texels of one grey value each (all four bytes alike), row by row.
std::vector<uint8_t> Grey(const std::vector<int>& values)
{
    std::vector<uint8_t> rgba;
    for (int value : values) rgba.insert(rgba.end(), 4, static_cast<uint8_t>(value));
    return rgba;
}

TEST(MipLevel, EachTexelIsTheRoundedMeanOfTheTexelsItCovers)
{
    const struct { const char* name; int width, height; std::vector<int> texels; int halfWidth, halfHeight; std::vector<int> half; } cases[] = {
        {"2 x 2", 2, 2, {0, 1, 2, 3}, 1, 1, {2}},  // 6 / 4 rounds to 2
        {"rounding down", 2, 2, {0, 0, 0, 1}, 1, 1, {0}},
        {"white stays white", 2, 2, {255, 255, 255, 255}, 1, 1, {255}},
        {"4 x 2", 4, 2, {10, 20, 30, 40, 10, 20, 30, 40}, 2, 1, {15, 35}},
        {"a row", 4, 1, {0, 8, 100, 200}, 2, 1, {4, 150}},
        {"a column", 1, 4, {0, 8, 100, 200}, 1, 2, {4, 150}},
        {"odd: the last column is left out", 3, 1, {10, 30, 255}, 1, 1, {20}},
        {"1 x 1 stays", 1, 1, {77}, 1, 1, {77}},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> texels = Grey(c.texels);
        const MipLevel level = MipLevel::Halve(texels.data(), c.width, c.height);
        EXPECT_EQ(level.width, c.halfWidth) << c.name;
        EXPECT_EQ(level.height, c.halfHeight) << c.name;
        EXPECT_EQ(level.rgba, Grey(c.half)) << c.name;
    }
}

TEST(MipLevel, HalvingAnyPictureReachesOneTexelAfterTheLevelsTheChainHas)
{
    for (const auto& size : {std::pair{1024, 384}, {640, 48}, {5, 3}, {1, 7}}) {
        MipLevel level{size.first, size.second, std::vector<uint8_t>(static_cast<size_t>(size.first * size.second * 4), 9)};
        int levels = 1;
        while (level.width > 1 || level.height > 1) {
            level = MipLevel::Halve(level.rgba.data(), level.width, level.height);
            ++levels;
        }
        EXPECT_EQ(levels, MipLevelCount(size.first, size.second)) << size.first << " x " << size.second;
        EXPECT_EQ(level.rgba, Grey({9}));
    }
}

}  // namespace
