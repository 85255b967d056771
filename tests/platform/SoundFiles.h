#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/unrarlib/TempFolder.h"

// Sound files written by the tests themselves, so that the sound tests need no outside data.

// A RIFF WAVE file holding the given interleaved 16-bit values; at 8 bits each value keeps its
// high byte, as unsigned.
std::vector<uint8_t> MakeWav(int channels, int bitsPerSample, int sampleRate, const std::vector<int16_t>& samples);

// A square wave of the given length and amplitude, one channel.
std::vector<int16_t> SquareWave(size_t frames, int16_t amplitude);

// A four-channel module with the given number of orders over four patterns, each playing a looped
// square-wave instrument from row 0. With shortOrders every order lasts one row (a pattern break
// on row 0), otherwise 64 rows.
std::vector<uint8_t> MakeModule(int orders, bool shortOrders);

// A folder under the system's temporary folder, removed with everything in it when destroyed.
class TempDir : public TempFolder {
public:
    TempDir() : TempFolder("sound") {}

    // The named file in the folder; Path("") is the folder with a trailing slash.
    std::string Path(const std::string& name) const { return *this / name; }
    using TempFolder::Write;
    std::string Write(const std::string& name, const std::string& text) const
    {
        return TempFolder::Write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
};
