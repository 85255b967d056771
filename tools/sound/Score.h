#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/sound/ItModule.h"
#include "tools/sound/Voice.h"

// A piece of music as the score describes it, with every name resolved: what the module builder
// turns into a module. Each item keeps the file and line it came from for the builder's errors.
struct ScoreSample {
    std::string name;
    const Voice* voice = nullptr;
    VoiceSettings settings;
    int volume = 64;       // 0..64
    int vibratoDepth = 0;  // 0..32
    int vibratoSpeed = 0;  // 0..64
    int vibratoRise = 0;   // ticks to full depth
    int rate = Sound::kSampleRate;  // Hz it is stored at: the kit's rate, a half or a quarter
};

struct ScoreChannel {
    std::string name;
    int pan = 32;     // 0 left .. 64 right
    int volume = 64;  // 0..64
};

// Cells by channel number, each column at most rows long; sample numbers are 1-based.
struct ScorePattern {
    std::string name;
    int rows = 64;
    std::map<int, std::vector<ItCell>> columns;
    std::string where;  // "file:line"
};

// A run of orders that loops within itself: its patterns from firstOrder on, the rest of the
// run skipped, the last pattern jumping back to loopOrder.
struct ScorePiece {
    static constexpr int kOpenEnded = -1;

    std::string name;
    int firstOrder = 0;
    int lastOrder = kOpenEnded;
    int loopOrder = 0;
    int speed = 6;
    int tempo = 125;
    std::vector<int> patterns;  // indices into Score::patterns
    std::string where;

    // The last order of the run: an open-ended run ends with its patterns.
    int RunEnd() const { return lastOrder == kOpenEnded ? firstOrder + static_cast<int>(patterns.size()) - 1 : lastOrder; }
};

struct Score {
    std::string song;
    int speed = 6;
    int tempo = 125;
    int globalVolume = 128;
    int mixVolume = 48;
    std::vector<ScoreSample> samples;
    std::vector<ScoreChannel> channels;
    std::vector<ScorePattern> patterns;
    std::vector<ScorePiece> pieces;
};
