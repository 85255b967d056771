#include <gtest/gtest.h>

#include <cmath>

#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/FontFace.h"
#include "tools/content/interface/InterfacePictures.h"
#include "tools/content/interface/PaintMath.h"
#include "tools/content/interface/Shapes.h"

namespace {

double Sum(const Mask& mask)
{
    double sum = 0.0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) sum += mask.At(x, y);
    }
    return sum;
}

TEST(Shapes, CoverageOfAShapeAddsUpToItsArea)
{
    const struct { Sdf shape; double area; } kCases[] = {
        {shape::Circle({32.0f, 32.0f}, 3.5f), paint::kPi * 3.5 * 3.5},
        {shape::Circle({32.3f, 31.6f}, 20.0f), paint::kPi * 20.0 * 20.0},
        {shape::Box({32.0f, 32.0f}, 10.25f, 5.5f), 20.5 * 11.0},
        {shape::Polygon({{10.0f, 10.0f}, {50.0f, 10.0f}, {10.0f, 40.0f}}), 0.5 * 40.0 * 30.0},
        {shape::Difference(shape::Box({32.0f, 32.0f}, 20.0f, 20.0f), shape::Box({32.0f, 32.0f}, 10.0f, 10.0f)), 1600.0 - 400.0},
    };
    for (const auto& c : kCases) EXPECT_NEAR(Sum(Coverage(64, 64, c.shape)), c.area, 0.01 * c.area + 0.5);
}

TEST(Mask, BlurKeepsTheTotalAndSpreadsByItsSigma)
{
    for (float sigma : {1.0f, 4.0f, 9.0f}) {
        Mask dot(101, 101);
        dot.Set(50, 50, 1.0f);
        const Mask blurred = dot.Blurred(sigma);
        double variance = 0.0;
        for (int x = 0; x < 101; ++x) variance += blurred.At(x, 50) / blurred.At(50, 50) * (x - 50) * (x - 50);
        double line = 0.0;
        for (int x = 0; x < 101; ++x) line += blurred.At(x, 50) / blurred.At(50, 50);
        EXPECT_NEAR(Sum(blurred), 1.0, 1e-4) << sigma;
        EXPECT_NEAR(std::sqrt(variance / line), sigma, 0.15 * sigma + 0.3) << sigma;
    }
}

// Filtering between a covered pixel and an uncovered one must not pull in black: the uncovered
// pixel carries the covered one's colour with alpha 0.
TEST(Canvas, ClearPixelsTakeTheColourOfTheNearestCoveredOnes)
{
    Canvas canvas(32, 8);
    canvas.Fill(Coverage(32, 8, shape::Box({4.0f, 4.0f}, 4.0f, 4.0f)), Rgba{1.0f, 0.5f, 0.0f, 1.0f});
    canvas.Fill(Coverage(32, 8, shape::Box({28.0f, 4.0f}, 4.0f, 4.0f)), Rgba{0.0f, 0.0f, 1.0f, 0.5f});
    const Picture picture = canvas.ToPicture();
    const struct {
        int x;
        uint8_t rgba[4];
    } kCases[] = {{2, {255, 128, 0, 255}}, {9, {255, 128, 0, 0}}, {26, {0, 0, 255, 128}}, {22, {0, 0, 255, 0}}};
    for (const auto& c : kCases) {
        const uint8_t* p = &picture.rgba[(3 * 32 + c.x) * 4];
        for (int i = 0; i < 4; ++i) EXPECT_EQ(p[i], c.rgba[i]) << "x " << c.x << " component " << i;
    }
}

TEST(Canvas, LayersMixByTheirCoverage)
{
    const Mask full(1, 1, 1.0f);
    const Mask half(1, 1, 0.5f);
    const struct {
        const char* what;
        Rgba background;
        void (*paint)(Canvas&, const Mask& full, const Mask& half);
        Rgba expected;
    } kCases[] = {
        {"half-covered red over opaque blue", {0.0f, 0.0f, 1.0f, 1.0f},
         [](Canvas& c, const Mask&, const Mask& h) { c.Fill(h, Rgba{1.0f, 0.0f, 0.0f, 1.0f}); }, {0.5f, 0.0f, 0.5f, 1.0f}},
        {"translucent red on nothing keeps its colour", {0.0f, 0.0f, 0.0f, 0.0f},
         [](Canvas& c, const Mask& f, const Mask&) { c.Fill(f, Rgba{1.0f, 0.0f, 0.0f, 0.25f}); }, {1.0f, 0.0f, 0.0f, 0.25f}},
        {"light on nothing brings its own coverage", {0.0f, 0.0f, 0.0f, 0.0f},
         [](Canvas& c, const Mask&, const Mask& h) { c.AddLight(h, Rgba{0.0f, 1.0f, 1.0f, 1.0f}); }, {0.0f, 1.0f, 1.0f, 0.5f}},
        {"shade darkens without uncovering", {0.8f, 0.8f, 0.8f, 1.0f},
         [](Canvas& c, const Mask&, const Mask& h) { c.Shade(h.Scaled(-1.0f)); }, {0.4f, 0.4f, 0.4f, 1.0f}},
    };
    for (const auto& c : kCases) {
        Canvas canvas(1, 1, c.background);
        c.paint(canvas, full, half);
        const Rgba got = canvas.At(0, 0);
        EXPECT_NEAR(got.r, c.expected.r, 1e-5) << c.what;
        EXPECT_NEAR(got.g, c.expected.g, 1e-5) << c.what;
        EXPECT_NEAR(got.b, c.expected.b, 1e-5) << c.what;
        EXPECT_NEAR(got.a, c.expected.a, 1e-5) << c.what;
    }
}

// Plates are lit from the top left: their upper-left bevel brightens, the lower-right one darkens.
TEST(Mask, ReliefLightsTheSlopesThatFaceTheLight)
{
    const Mask height = Bevel(40, 40, shape::Box({20.0f, 20.0f}, 15.0f, 15.0f), 6.0f);
    const Mask light = height.Relief(-1.0f, -1.0f, 6.0f);
    EXPECT_GT(light.At(8, 8), 0.3f);
    EXPECT_LT(light.At(31, 31), -0.3f);
    EXPECT_FLOAT_EQ(light.At(20, 20), 0.0f);
    EXPECT_FLOAT_EQ(light.At(1, 1), 0.0f);
}

TEST(FontFace, SetsTextCentredOnItsBaselineAndRefusesWhatIsNoFont)
{
    FontFace face;
    EXPECT_FALSE(face.Open("/nonexistent.ttf"));
    EXPECT_FALSE(face.Open(HARN_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(face.Open(std::string(kDejaVuFontDirectory) + "/DejaVuSans-Bold.ttf"));
    const TextStyle style{40.0f, 0.0f, 1.0f};
    EXPECT_GT(face.Measure("WWW", style), 2.5f * face.Measure("W", style));
    EXPECT_FLOAT_EQ(face.Measure("", style), 0.0f);
    Mask mask(200, 80);
    face.DrawCentred(mask, "HILL", style, 100.0f, 60.0f);
    int box[4];
    ASSERT_TRUE(mask.Bounds(0.5f, box));
    EXPECT_NEAR(0.5 * (box[0] + box[2]), 100.0, 3.0);
    EXPECT_EQ(box[3], 59);                       // capitals stand on the baseline
    EXPECT_NEAR(box[3] - box[1], 0.73 * 40, 3);  // and are about three quarters of the size tall
}

}  // namespace
