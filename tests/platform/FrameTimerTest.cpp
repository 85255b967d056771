#include "engine/platform/FrameTimer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include "engine/platform/PerformanceCounter.h"
#include "engine/platform/SdlPerformanceCounter.h"

namespace {

TEST(FrameTimer, StepIsTheRealTimeSinceTheStartCountClampedToATenth)
{
    ManualPerformanceCounter counter(1000000);
    counter.Advance(5000000);  // the start count need not be zero
    FrameTimer timer;
    timer.Start(&counter);
    EXPECT_EQ(timer.StartCount(), 5000000);
    const struct {
        int64_t counts;
        float step;
    } frames[] = {{16000, 0.016f}, {250000, 0.1f}, {0, 0.0f}, {0, 0.0f}, {100000, 0.1f}, {99999, 0.099999f}};
    for (const auto& frame : frames) {
        counter.Advance(frame.counts);
        EXPECT_NEAR(timer.Step(), frame.step, 1e-6f) << frame.counts << " counts";
    }
}

TEST(FrameTimer, WithoutACounterEveryStepIsATenth)
{
    ManualPerformanceCounter missing(0);  // no frequency, no count
    FrameTimer timer;
    timer.Start(&missing);
    EXPECT_EQ(timer.Frequency(), 0);
    EXPECT_FLOAT_EQ(timer.Step(), 0.1f);
    EXPECT_FLOAT_EQ(timer.Step(), 0.1f);
    FrameTimer never_started;
    EXPECT_FLOAT_EQ(never_started.Step(), 0.1f);
}

TEST(FrameTimer, TheRealCountersMoveForwardAndFeedStepsInSeconds)
{
    SystemPerformanceCounter system;
    SdlPerformanceCounter sdl;
    for (PerformanceCounter* counter : {static_cast<PerformanceCounter*>(&system), static_cast<PerformanceCounter*>(&sdl)}) {
        FrameTimer timer;
        timer.Start(counter);
        EXPECT_GT(timer.Frequency(), 0);
        SDL_Delay(2);
        const float step = timer.Step();
        EXPECT_GT(step, 0.0f);
        EXPECT_LE(step, FrameTimer::kMaxStep);
    }
}

}  // namespace
