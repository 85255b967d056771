#pragma once

#include <cstdint>
#include <vector>

// The next smaller level of a texture's mipmap chain, made on the processor: half the size,
// rounded down and at least 1, each texel the rounded mean of the 2 × 2 texels it covers (of the
// one row or column there is along a side of 1). Drivers that make the chain themselves may
// compile code for it on the spot, which a software renderer pays for in tens of milliseconds
// per texture; this costs a few milliseconds for a large texture and gives the same chain on
// every driver.
struct MipLevel {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    // rgba holds width × height texels of 4 bytes, top row first; both sizes at least 1.
    static MipLevel Halve(const uint8_t* rgba, int width, int height);
};
