#include <gtest/gtest.h>

#include <SDL.h>

#include "engine/platform/FrameTimer.h"
#include "engine/platform/SdlPerformanceCounter.h"

TEST(SdlPerformanceCounter, MovesForwardAndFeedsTheFrameTimerStepsInSecondsClampedToATenth)
{
    SdlPerformanceCounter counter;
    int64_t frequency = 0, first = 0, second = 0;
    ASSERT_TRUE(counter.QueryFrequency(&frequency));
    EXPECT_GT(frequency, 0);
    ASSERT_TRUE(counter.QueryCounter(&first));
    FrameTimer timer;
    timer.Start(&counter);
    EXPECT_EQ(timer.Frequency(), frequency);
    SDL_Delay(2);
    ASSERT_TRUE(counter.QueryCounter(&second));
    EXPECT_GT(second, first);
    const float step = timer.Step();
    EXPECT_GT(step, 0.0f);
    EXPECT_LE(step, FrameTimer::kMaxStep);
}
