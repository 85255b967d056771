#pragma once

#include <cstdint>

// The generator's only source of variation: a small, fixed-seed sequence (splitmix64), so that
// every run makes the same bytes.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float Unit() { return static_cast<float>(Next() >> 40) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    // Uniform in [0, count); 0 when count is 0.
    int Below(int count) { return count > 0 ? static_cast<int>(Next() % static_cast<uint64_t>(count)) : 0; }
    bool Chance(float probability) { return Unit() < probability; }

private:
    uint64_t state_;
};

// A well-mixed 32-bit value of a few integers, for lattice noise.
inline uint32_t HashInts(int32_t a, int32_t b, uint32_t seed)
{
    uint32_t h = seed * 0x27D4EB2Du ^ static_cast<uint32_t>(a) * 0x85EBCA6Bu ^ static_cast<uint32_t>(b) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
