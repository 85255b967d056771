#pragma once

#include <vector>

#include "tools/sound/Voice.h"

// The synth kit's recipes, one family per file.
const std::vector<Voice>& DrumVoices();    // Drums.cpp
const std::vector<Voice>& BassVoices();    // Basses.cpp
const std::vector<Voice>& PadVoices();     // Pads.cpp
const std::vector<Voice>& LeadVoices();    // Leads.cpp
const std::vector<Voice>& EffectVoices();  // Effects.cpp
