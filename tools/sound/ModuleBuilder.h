#pragma once

#include <string>

#include "tools/sound/ItModule.h"
#include "tools/sound/Score.h"

// Makes the module a score describes: synthesises its samples, lays each piece on its run of
// orders (the rest of the run skipped), sets the piece's speed and tempo on its first row and
// jumps back to its loop order from its last row, so that playback entering a piece anywhere
// stays in it. Patterns that come out the same are stored once. False, with the piece's
// "file:line: what is wrong", when the result does not fit the format.
bool BuildModule(const Score& score, ItModule* out, std::string* error);

// One sample of the module from its score entry.
ItSample BuildSample(const ScoreSample& sample);
