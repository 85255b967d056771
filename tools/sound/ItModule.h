#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A tracker module in sample mode, as plain records: what the module writer turns into bytes.

// One cell of a pattern: a channel's entry on one row. Empty fields are skipped when packed.
struct ItCell {
    static constexpr int kNoNote = -1;
    static constexpr int kNoteOff = 255;
    static constexpr int kNoteCut = 254;
    static constexpr int kNoVolume = -1;

    int note = kNoNote;      // 0..119 (C-0..B-9, C-5 = 60), kNoteOff or kNoteCut
    int sample = 0;          // 1-based; 0 = none
    int volume = kNoVolume;  // 0..64
    int command = 0;         // effect letter as a number, A = 1; 0 = none
    int parameter = 0;       // 0..255

    bool Empty() const { return note == kNoNote && sample == 0 && volume == kNoVolume && command == 0; }
    bool operator==(const ItCell&) const = default;
};

// Rows × channels cells, row-major.
struct ItPattern {
    int rows = 64;
    int channels = 0;
    std::vector<ItCell> cells;

    ItPattern() = default;
    ItPattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<size_t>(rowCount) * static_cast<size_t>(channelCount))
    {
    }
    ItCell& At(int row, int channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
    const ItCell& At(int row, int channel) const { return cells[static_cast<size_t>(row * channels + channel)]; }
    bool operator==(const ItPattern&) const = default;
};

// A 16-bit mono sample. Loop ends are one past the last looped frame; a sustain loop holds while
// the note is down and lets the sound run on past it once the note is released.
struct ItSample {
    std::string name;
    std::vector<int16_t> pcm;
    int c5Speed = 44100;   // Hz at which note C-5 plays the data
    int defaultVolume = 64;
    int globalVolume = 64;
    bool loop = false;
    uint32_t loopBegin = 0;
    uint32_t loopEnd = 0;
    bool sustainLoop = false;
    uint32_t sustainBegin = 0;
    uint32_t sustainEnd = 0;
    int vibratoSpeed = 0;  // automatic vibrato, 0..64
    int vibratoDepth = 0;  // 0..32
    int vibratoRate = 0;   // ticks to full depth, 0..255
};

struct ItModule {
    static constexpr int kMaxChannels = 64;
    static constexpr int kMaxPatterns = 200;
    static constexpr int kMaxSamples = 99;
    static constexpr int kMaxOrders = 255;
    static constexpr int kMinRows = 32;
    static constexpr int kMaxRows = 200;
    static constexpr uint8_t kSkipOrder = 254;

    std::string name;
    int channels = 0;
    std::vector<int> channelPan;     // 0 (left) .. 64 (right) per channel
    std::vector<int> channelVolume;  // 0..64 per channel
    int initialSpeed = 6;   // ticks per row
    int initialTempo = 125; // beats a minute, a beat being 24 ticks
    int globalVolume = 128; // 0..128
    int mixVolume = 48;     // 0..128
    std::vector<uint8_t> orders;     // pattern numbers or kSkipOrder
    std::vector<ItPattern> patterns;
    std::vector<ItSample> samples;
};
