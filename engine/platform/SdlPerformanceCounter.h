#pragma once

#include "engine/platform/PerformanceCounter.h"

// SDL's high-resolution counter: the game's time base, read the way the loops read the system's
// performance counter. Needs no SDL subsystem.
class SdlPerformanceCounter final : public PerformanceCounter {
public:
    bool QueryFrequency(int64_t* frequency) override;
    bool QueryCounter(int64_t* count) override;
};
