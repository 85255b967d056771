#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/Track.h"
#include "engine/scene/VectorTrack.h"

namespace {

// Keys k² + 1, so that neighbouring keys differ by different amounts.
Track ElevenKeys()
{
    Track track;
    track.Resize(11);
    track.SetRate(10);
    for (int k = 0; k < 11; ++k) track.SetKey(k, static_cast<float>(k * k + 1));
    return track;
}

TEST(Track, ANewTrackIsAllZero)
{
    const Track track;
    EXPECT_EQ(track.KeyCount(), 0);
    EXPECT_EQ(track.Rate(), 0);
    EXPECT_EQ(track.Time(), 0.0f);
    EXPECT_EQ(track.Evaluate(Track::kLinear), 0.0f);
}

TEST(Track, ElevenKeysAtTenPerSecondLoopEverySecond)
{
    struct Case {
        float seconds;
        float time;
    };
    const Case cases[] = {{0.25f, 2.5f}, {1.05f, 0.5f}, {0.999f, 9.99f}, {1.0f, 0.0f}, {2.3f, 3.0f}, {0.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        Track track = ElevenKeys();
        track.Advance(c.seconds);
        EXPECT_NEAR(track.Time(), c.time, 1e-4f);
    }
}

TEST(Track, AdvanceAddsUpAcrossCalls)
{
    Track track = ElevenKeys();
    for (int frame = 0; frame < 21; ++frame) track.Advance(0.05f);
    EXPECT_NEAR(track.Time(), 0.5f, 1e-4f);
}

TEST(Track, LinearEvaluationAtAQuarterSecondIsTheMeanOfKeysTwoAndThree)
{
    Track track = ElevenKeys();
    track.Advance(0.25f);
    EXPECT_NEAR(track.Evaluate(Track::kLinear), (5.0f + 10.0f) / 2.0f, 1e-4f);
}

TEST(Track, EveryModeReturnsTheKeyAtAnIntegralTime)
{
    for (int k = 0; k < 10; ++k) {
        for (int mode : {Track::kStep, Track::kLinear, Track::kCatmullRom}) {
            SCOPED_TRACE(::testing::Message() << "key " << k << " mode " << mode);
            Track track = ElevenKeys();
            track.SetRate(1);
            track.Advance(static_cast<float>(k));
            ASSERT_EQ(track.Time(), static_cast<float>(k));
            EXPECT_FLOAT_EQ(track.Evaluate(mode), static_cast<float>(k * k + 1));
        }
    }
}

TEST(Track, StepModeHoldsTheEarlierKey)
{
    Track track = ElevenKeys();
    track.Advance(0.37f);
    EXPECT_FLOAT_EQ(track.Evaluate(Track::kStep), 10.0f);
}

TEST(Track, CatmullRomAtTheStartUsesTheFirstKeyTwice)
{
    Track track = ElevenKeys();
    track.Advance(0.05f);
    const float t = track.Time();
    const float p0 = 1.0f, p1 = 1.0f, p2 = 2.0f, p3 = 5.0f;
    const float expected = 0.5f * (2 * p1 + (p2 - p0) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                                   (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
    EXPECT_NEAR(track.Evaluate(Track::kCatmullRom), expected, 1e-5f);
}

TEST(Track, CatmullRomInTheMiddleUsesFourNeighbours)
{
    Track track = ElevenKeys();
    track.Advance(0.55f);
    const float t = track.Time() - 5.0f;
    const float p0 = 17.0f, p1 = 26.0f, p2 = 37.0f, p3 = 50.0f;
    const float expected = 0.5f * (2 * p1 + (p2 - p0) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                                   (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t);
    EXPECT_NEAR(track.Evaluate(Track::kCatmullRom), expected, 1e-3f);
}

TEST(Track, AnUnknownModeEvaluatesToZero)
{
    Track track = ElevenKeys();
    track.Advance(0.3f);
    EXPECT_EQ(track.Evaluate(3), 0.0f);
    EXPECT_EQ(track.Evaluate(-1), 0.0f);
}

TEST(Track, FewerThanTwoKeysStayAtTimeZero)
{
    Track none;
    none.SetRate(10);
    none.Advance(0.7f);
    EXPECT_EQ(none.Time(), 0.0f);
    EXPECT_EQ(none.Evaluate(Track::kLinear), 0.0f);

    Track one;
    one.Resize(1);
    one.SetRate(10);
    one.SetKey(0, 4.5f);
    one.Advance(0.7f);
    EXPECT_EQ(one.Time(), 0.0f);
    for (int mode : {Track::kStep, Track::kLinear, Track::kCatmullRom}) EXPECT_EQ(one.Evaluate(mode), 4.5f);
}

TEST(Track, ANegativeStepOrANonNumberNeverReadsOutsideTheKeys)
{
    Track track = ElevenKeys();
    track.Advance(-0.25f);
    EXPECT_LT(track.Time(), 0.0f);
    EXPECT_FLOAT_EQ(track.Evaluate(Track::kLinear), 1.0f);
    EXPECT_TRUE(std::isfinite(track.Evaluate(Track::kCatmullRom)));
    track.Advance(std::nanf(""));
    EXPECT_EQ(track.Time(), 0.0f);
}

TEST(Track, ResizeKeepsTimeAndRateAndIgnoresKeysOutside)
{
    Track track = ElevenKeys();
    track.Advance(0.25f);
    track.Resize(4);
    EXPECT_EQ(track.KeyCount(), 4);
    EXPECT_EQ(track.Rate(), 10);
    EXPECT_NEAR(track.Time(), 2.5f, 1e-5f);
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
    track.SetKey(0, {0, 10, 20, 1});
    track.SetKey(1, {2, 12, 24, 1});
    track.SetKey(2, {4, 14, 28, 1});
    track.Advance(0.05f);
    const Vec4 v = track.Evaluate(Track::kLinear);
    EXPECT_NEAR(v.x, 1.0f, 1e-5f);
    EXPECT_NEAR(v.y, 11.0f, 1e-5f);
    EXPECT_NEAR(v.z, 22.0f, 1e-5f);
    EXPECT_NEAR(v.w, 1.0f, 1e-5f);
    EXPECT_EQ(track.KeyCount(), 3);
    EXPECT_EQ(track.Key(2), Vec4(4, 14, 28, 1));
}

}  // namespace
