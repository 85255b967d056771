#pragma once

#include <cstddef>

class SoundSample;

// Every sample file loaded once and shared by exact file name, until Clear at the end of a level
// play. A failed load is cached too, as a sample with a null handle, so a missing file is tried
// only once.
class SampleCache {
public:
    // The cached sample for the name; on the first request it is loaded with the given flags,
    // which later requests cannot change. Null only for a null name.
    static SoundSample* Get(const char* name, bool loop, bool hardware3d, bool effects);
    // Frees and deletes every cached sample.
    static void Clear();
    static size_t Count();
};
