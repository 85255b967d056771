#pragma once

#include <cstdint>
#include <vector>

// A RIFF WAVE file of 16-bit PCM: frames of interleaved channels at rate Hz.
std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples, int channels, int rate);
