#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A PCM sound in a RIFF WAVE file: 8-bit unsigned or 16-bit signed little-endian samples, one or
// two interleaved channels, at any rate the file states. The file is outside data: every size in
// it is checked against the bytes actually there.
struct WavFile {
    int channels = 0;
    int bitsPerSample = 0;
    int sampleRate = 0;
    std::vector<uint8_t> pcm;  // whole frames only

    static constexpr size_t kMaxFileBytes = 32u << 20;
    static constexpr int kMinSampleRate = 100;    // Hz
    static constexpr int kMaxSampleRate = 384000; // Hz

    size_t BytesPerFrame() const { return static_cast<size_t>(channels) * static_cast<size_t>(bitsPerSample / 8); }
    size_t Frames() const { return BytesPerFrame() == 0 ? 0 : pcm.size() / BytesPerFrame(); }

    // False for anything that is not a sound of the kinds above with at least one frame. A data
    // chunk cut short by the end of the file keeps the whole frames that are there.
    static bool Parse(const uint8_t* data, size_t size, WavFile* out);
    // Reads and parses a file from the disk; false when it is missing, unreadable, larger than
    // kMaxFileBytes or not a sound Parse accepts.
    static bool Load(const char* path, WavFile* out);
};
