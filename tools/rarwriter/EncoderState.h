#pragma once

#include <cstdint>
#include <cstring>

#include "engine/unrarlib/AudioPredictor.h"
#include "engine/unrarlib/RarFormat.h"

// What the reader's decoder will hold at this point of the stream, kept by the encoder so that
// every symbol it writes means to the reader what it meant here.
struct EncoderState {
    uint32_t oldDistances[4] = {};
    uint32_t oldDistanceIndex = 0;
    uint32_t lastDistance = 0;
    uint32_t lastLength = 0;
    uint8_t oldLengths[rar::kAllTablesSize] = {};
    uint8_t tableLengths[rar::kAllTablesSize] = {};  // the tables in force
    bool hasTables = false;
    bool audioMode = false;
    int channels = 1;
    int currentChannel = 0;
    int32_t channelDelta = 0;
    AudioPredictor predictors[rar::kMaxAudioChannels];

    void PushMatch(uint32_t length, uint32_t distance)
    {
        oldDistances[oldDistanceIndex++ & 3] = distance;
        lastDistance = distance;
        lastLength = length;
    }
    // The distance that repeat symbol 257 + age stands for.
    uint32_t OldDistance(int age) const { return oldDistances[(oldDistanceIndex - 1 - static_cast<uint32_t>(age)) & 3]; }
};
