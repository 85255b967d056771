#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/Track.h"
#include "engine/scene/VectorTrack.h"

namespace {

// Keys k² + 1 at ten a second, so that neighbouring keys differ by different amounts.
Track ElevenKeys()
{
    Track track;
    track.Resize(11);
    track.SetRate(10);
    for (int k = 0; k < 11; ++k) track.SetKey(k, static_cast<float>(k * k + 1));
    return track;
}

float CatmullRom(float p0, float p1, float p2, float p3, float t)
{
    return 0.5f * (2 * p1 + (p2 - p0) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t + (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
}

TEST(Track, ElevenKeysAtTenPerSecondLoopEverySecondAndStepsAddUp)
{
    const struct { float seconds; int steps; float time; } cases[] = {{0.25f, 1, 2.5f}, {1.05f, 1, 0.5f}, {0.999f, 1, 9.99f}, {1.0f, 1, 0.0f},
                 {2.3f, 1, 3.0f},  {0.0f, 1, 0.0f},  {0.05f, 21, 0.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.steps << " x " << c.seconds);
        Track track = ElevenKeys();
        for (int step = 0; step < c.steps; ++step) track.Advance(c.seconds);
        EXPECT_NEAR(track.Time(), c.time, 1e-4f);
    }
}

TEST(Track, EachModeInterpolatesBetweenKeys)
{
    const struct { const char* name; float seconds; int mode; float expected; } cases[] = {
        {"linear halfway between keys 2 and 3", 0.25f, Track::kLinear, (5.0f + 10.0f) / 2.0f},
        {"step holds the earlier key", 0.37f, Track::kStep, 10.0f},
        {"catmull-rom at the start uses the first key twice", 0.05f, Track::kCatmullRom, CatmullRom(1, 1, 2, 5, 0.5f)},
        {"catmull-rom in the middle uses four neighbours", 0.55f, Track::kCatmullRom, CatmullRom(17, 26, 37, 50, 0.5f)},
        {"step at a key gives the key", 0.4f, Track::kStep, 17.0f},
        {"linear at a key gives the key", 0.4f, Track::kLinear, 17.0f},
        {"catmull-rom at a key gives the key", 0.4f, Track::kCatmullRom, 17.0f},
        {"an unknown mode gives zero", 0.3f, 3, 0.0f},
        {"a negative mode gives zero", 0.3f, -1, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Track track = ElevenKeys();
        track.Advance(c.seconds);
        EXPECT_NEAR(track.Evaluate(c.mode), c.expected, 1e-3f);
    }
}

TEST(Track, FewerThanTwoKeysStayAtTimeZero)
{
    for (int keys : {0, 1}) {
        Track track;
        track.Resize(keys);
        track.SetRate(10);
        track.SetKey(0, 4.5f);
        track.Advance(0.7f);
        EXPECT_EQ(track.Time(), 0.0f);
        for (int mode : {Track::kStep, Track::kLinear, Track::kCatmullRom}) EXPECT_EQ(track.Evaluate(mode), keys * 4.5f);
    }
}

// A negative step, a step that is not a number, keys set outside the track and a shrinking
// resize never read or write outside the keys.
TEST(Track, NeverReadsOrWritesOutsideTheKeys)
{
    Track track = ElevenKeys();
    track.Advance(-0.25f);
    EXPECT_LT(track.Time(), 0.0f);
    EXPECT_FLOAT_EQ(track.Evaluate(Track::kLinear), 1.0f);
    EXPECT_TRUE(std::isfinite(track.Evaluate(Track::kCatmullRom)));
    track.Advance(std::nanf(""));
    EXPECT_EQ(track.Time(), 0.0f);
    track.Advance(0.25f);
    track.Resize(4);
    EXPECT_EQ(track.KeyCount(), 4);
    EXPECT_EQ(track.Rate(), 10);
    EXPECT_NEAR(track.Time(), 2.5f, 1e-5f);  // resizing keeps the time
    track.SetKey(4, 9.0f);
    track.SetKey(-1, 9.0f);
    track.Resize(-3);
    EXPECT_EQ(track.KeyCount(), 0);
}

TEST(VectorTrack, AllFourComponentsMoveTogether)
{
    VectorTrack track;
    track.Resize(3);
    track.SetRate(10);
    for (int k = 0; k < 3; ++k) track.SetKey(k, {2.0f * k, 10.0f + 2 * k, 20.0f + 4 * k, 1});
    track.Advance(0.05f);
    const Vec4 v = track.Evaluate(Track::kLinear);
    EXPECT_TRUE(std::abs(v.x - 1) + std::abs(v.y - 11) + std::abs(v.z - 22) + std::abs(v.w - 1) < 1e-5f) << v.x << v.y << v.z << v.w;
    EXPECT_EQ(track.Key(2), Vec4(4, 14, 28, 1));
}

}  // namespace
