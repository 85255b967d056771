#pragma once

#include <cstdint>

// White noise from a fixed seed: the same seed always gives the same sound.
struct Noise {
    uint32_t state = 0x9E3779B9u;

    explicit Noise(uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}

    // Uniform in [-1, 1).
    float Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
};
