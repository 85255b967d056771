#pragma once

#include <cstdint>

class PerformanceCounter;

// Measures the real time between frames and hands out a time step in seconds, never more than
// a tenth of a second, so that a stall advances the game by at most that much.
class FrameTimer {
public:
    static constexpr float kMaxStep = 0.1f;  // seconds

    // Reads the frequency and, only when the machine has a counter, the start count.
    void Start(PerformanceCounter* counter);
    // Seconds since the previous call (or since Start on the first), clamped to kMaxStep.
    // Without a counter every step is kMaxStep.
    float Step();

    int64_t StartCount() const { return startCount_; }
    int64_t Frequency() const { return frequency_; }

private:
    PerformanceCounter* counter_ = nullptr;
    int64_t startCount_ = 0;
    int64_t frequency_ = 0;
    int64_t lastCount_ = 0;
    bool first_ = true;
};
