#include "engine/platform/PerformanceCounter.h"

#include <time.h>

namespace {
constexpr int64_t kNanosecondsPerSecond = 1000000000;
}

bool SystemPerformanceCounter::QueryFrequency(int64_t* frequency)
{
    *frequency = kNanosecondsPerSecond;
    return true;
}

bool SystemPerformanceCounter::QueryCounter(int64_t* count)
{
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
    *count = static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    return true;
}
