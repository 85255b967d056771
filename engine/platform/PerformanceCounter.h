#pragma once

#include <cstdint>

// The high-resolution counter behind the frame timer, in the shape of the counter-and-frequency
// pair the loops read. Injectable so that tests and tools can step a world with chosen time steps.
class PerformanceCounter {
public:
    virtual ~PerformanceCounter() = default;
    // Counts per second; false when the machine has no such counter.
    virtual bool QueryFrequency(int64_t* frequency) = 0;
    virtual bool QueryCounter(int64_t* count) = 0;
};

// The system's monotonic clock in nanoseconds.
class SystemPerformanceCounter final : public PerformanceCounter {
public:
    bool QueryFrequency(int64_t* frequency) override;
    bool QueryCounter(int64_t* count) override;
};

// A counter that moves only when told to: tests and headless tools choose each frame's length.
class ManualPerformanceCounter final : public PerformanceCounter {
public:
    explicit ManualPerformanceCounter(int64_t frequency = 1000000) : frequency_(frequency) {}
    bool QueryFrequency(int64_t* frequency) override
    {
        *frequency = frequency_;
        return frequency_ != 0;
    }
    bool QueryCounter(int64_t* count) override
    {
        *count = now_;
        return frequency_ != 0;
    }
    void Advance(int64_t counts) { now_ += counts; }
    void AdvanceSeconds(double seconds) { now_ += static_cast<int64_t>(seconds * static_cast<double>(frequency_)); }

private:
    int64_t frequency_;
    int64_t now_ = 0;
};
