#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sound/ItModule.h"

// Turns a module into the bytes of an ".it" tracker module file (sample mode, uncompressed 16-bit
// samples). False, with a reason, when a field lies outside what the format can hold: a pattern
// number in the order list that does not exist, a row count outside 32..200, a loop past the end
// of its sample, and the like.
bool WriteItModule(const ItModule& module, std::vector<uint8_t>* out, std::string* error);
