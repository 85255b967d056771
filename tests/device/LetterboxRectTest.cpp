#include <gtest/gtest.h>

#include <tuple>

#include "engine/device/LetterboxRect.h"

namespace {

TEST(LetterboxRect, FitsThePictureWholeAndCentredWithoutChangingItsShape)
{
    struct Case { const char* name; int screenWidth, screenHeight, pictureWidth, pictureHeight; LetterboxRect expected; };
    const Case cases[] = {
        {"same size", 800, 600, 800, 600, {0, 0, 800, 600}},
        {"4:3 on 16:9: bars left and right", 1920, 1080, 800, 600, {240, 0, 1440, 1080}},
        {"16:10 on 4:3: bars above and below", 1024, 768, 640, 400, {0, 64, 1024, 640}},
        {"smaller screen: scaled down", 400, 300, 1600, 1200, {0, 0, 400, 300}},
        {"odd leftover pixel goes to the far bar", 801, 600, 800, 600, {0, 0, 800, 600}},
        {"empty screen", 0, 600, 800, 600, {}},
        {"empty picture", 800, 600, 800, -1, {}},
        {"huge sizes do not overflow", 1 << 30, 1 << 30, 1 << 29, 1 << 28, {0, 1 << 28, 1 << 30, 1 << 29}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LetterboxRect r = LetterboxRect::Fit(c.screenWidth, c.screenHeight, c.pictureWidth, c.pictureHeight);
        EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height),
                  std::tuple(c.expected.x, c.expected.y, c.expected.width, c.expected.height));
    }
}

}  // namespace
