#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct WavFile;

// A sound ready for the mixer: 16-bit stereo frames at the mix rate, converted once at load so
// that mixing is plain addition.
struct SampleData {
    std::vector<int16_t> frames;  // interleaved left, right
    bool loop = false;

    static constexpr int kMaxSeconds = 300;  // longer sounds are refused rather than converted

    size_t FrameCount() const { return frames.size() / 2; }

    // Converts any WavFile to the mix rate (linear interpolation). False when the result would
    // be empty or longer than kMaxSeconds, or the rate is not positive.
    static bool FromWav(const WavFile& wav, int mixRate, bool loop, SampleData* out);
};
