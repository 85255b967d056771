#pragma once

#include <cstdint>

#include "tools/rarwriter/BitOutput.h"
#include "tools/rarwriter/EncoderState.h"

// Writes a table description as the reader's decoder reads it (mode bits, the bit-length code,
// then the lengths coded against the previous ones) and moves the state on as reading it will.
// lengths holds kAllTablesSize entries, zero past tableSize. Whichever of keeping or clearing the
// previous lengths is shorter is chosen.
void WriteTables(BitOutput& out, EncoderState& state, const uint8_t* lengths, bool audio, int channels);

// Writes the symbol that makes the reader read new tables, in the tables now in force.
void WriteTableSwitch(BitOutput& out, const EncoderState& state);
