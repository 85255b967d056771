#include "engine/platform/FrameTimer.h"

#include <gtest/gtest.h>

#include "engine/platform/PerformanceCounter.h"

namespace {

// A machine whose counter is missing: no frequency, no count.
class MissingCounter final : public PerformanceCounter {
public:
    bool QueryFrequency(int64_t* frequency) override
    {
        *frequency = 0;
        return false;
    }
    bool QueryCounter(int64_t*) override { return false; }
};

TEST(FrameTimer, StepIsTheRealTimeClampedToATenth)
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

TEST(FrameTimer, FirstStepMeasuresFromTheStartCount)
{
    ManualPerformanceCounter counter(1000);
    FrameTimer timer;
    timer.Start(&counter);
    counter.Advance(20);
    EXPECT_NEAR(timer.Step(), 0.02f, 1e-6f);
}

TEST(FrameTimer, WithoutACounterEveryStepIsATenth)
{
    MissingCounter missing;
    FrameTimer timer;
    timer.Start(&missing);
    EXPECT_EQ(timer.Frequency(), 0);
    EXPECT_FLOAT_EQ(timer.Step(), 0.1f);
    EXPECT_FLOAT_EQ(timer.Step(), 0.1f);
    FrameTimer never_started;
    EXPECT_FLOAT_EQ(never_started.Step(), 0.1f);
}

TEST(FrameTimer, SystemCounterAdvances)
{
    SystemPerformanceCounter counter;
    int64_t frequency = 0, a = 0, b = 0;
    ASSERT_TRUE(counter.QueryFrequency(&frequency));
    EXPECT_GT(frequency, 0);
    ASSERT_TRUE(counter.QueryCounter(&a));
    ASSERT_TRUE(counter.QueryCounter(&b));
    EXPECT_GE(b, a);
}

}  // namespace
