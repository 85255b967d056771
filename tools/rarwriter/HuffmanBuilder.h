#pragma once

#include <cstdint>

// Code lengths for a set of symbol counts: a Huffman code limited to maxLength bits. Absent
// symbols get 0; a lone symbol gets a 1-bit code.
void BuildCodeLengths(const uint32_t* counts, int symbolCount, int maxLength, uint8_t* lengths);

// The canonical codes that the reader's tables assign to these lengths.
void AssignCanonicalCodes(const uint8_t* lengths, int symbolCount, uint16_t* codes);
