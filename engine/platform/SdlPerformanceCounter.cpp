#include "engine/platform/SdlPerformanceCounter.h"

#include <SDL.h>

bool SdlPerformanceCounter::QueryFrequency(int64_t* frequency)
{
    *frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
    return *frequency != 0;
}

bool SdlPerformanceCounter::QueryCounter(int64_t* count)
{
    *count = static_cast<int64_t>(SDL_GetPerformanceCounter());
    return true;
}
