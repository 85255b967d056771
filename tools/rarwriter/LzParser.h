#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/unrarlib/RarFormat.h"
#include "tools/rarwriter/EncoderState.h"
#include "tools/rarwriter/MatchFinder.h"

// Choosing the steps of LZ mode: which bytes go out as literals and which as matches of which kind.
namespace lz_parser {

constexpr uint32_t kMaxMatch = 257;    // codable at every distance, by every kind of match
constexpr uint32_t kGoodEnough = 96;   // a match this long is taken as it is
constexpr float kUnusedSymbolBits = 12.0f;

// What each kind of step is expected to cost in bits, from the tables of the last block or, before
// there are any, from the byte frequencies ahead. Matches are weighed against the literals they
// replace with it.
struct CostModel {
    float literal[256];
    float symbol[rar::kLiteralTableSize];
    float distance[rar::kDistanceTableSize];
    float repeat[rar::kRepeatTableSize];

    void Guess(const uint8_t* data, size_t size)
    {
        uint32_t counts[256] = {};
        for (size_t i = 0; i < size; ++i) ++counts[data[i]];
        for (int b = 0; b < 256; ++b)
            literal[b] = static_cast<float>(-std::log2((counts[b] + 0.5) / (static_cast<double>(size) + 128.0))) + 0.4f;
        for (float& cost : symbol) cost = 7.0f;
        for (float& cost : distance) cost = 5.5f;
        for (float& cost : repeat) cost = 4.0f;
        symbol[rar::kSymbolRepeatLast] = 6.0f;
        for (int age = 0; age < 4; ++age) symbol[rar::kSymbolRepeatOld + age] = 6.0f + static_cast<float>(age);
    }

    void Learn(const uint8_t* lengths)
    {
        auto bits = [](uint8_t length) { return length == 0 ? kUnusedSymbolBits : static_cast<float>(length); };
        for (int b = 0; b < 256; ++b) literal[b] = bits(lengths[b]);
        for (int s = 256; s < rar::kLiteralTableSize; ++s) symbol[s] = bits(lengths[s]);
        for (int d = 0; d < rar::kDistanceTableSize; ++d) distance[d] = bits(lengths[rar::kLiteralTableSize + d]);
        for (int r = 0; r < rar::kRepeatTableSize; ++r)
            repeat[r] = bits(lengths[rar::kLiteralTableSize + rar::kDistanceTableSize + r]);
    }

    float Literals(const uint8_t* bytes, uint32_t count) const
    {
        float sum = 0;
        for (uint32_t i = 0; i < count; ++i) sum += literal[bytes[i]];
        return sum;
    }
};

// One coded step of LZ mode: a literal/length symbol, its extra bits, and for matches the symbol of
// the distance or repeat table with its extra bits.
struct LzCode {
    uint16_t symbol;
    uint8_t extraBits1;
    int16_t second;  // -1: none
    uint8_t extraBits2;
    uint32_t extra1;
    uint32_t extra2;
};

struct Choice {
    enum Kind { Literal, RepeatLast, Repeat, Short, Match } kind = Literal;
    uint32_t length = 1;
    uint32_t distance = 0;
    int age = 0;
    float saving = 0;
};

LzCode MakeCode(const Choice& choice, uint8_t literal);

// Where a parse stands: the buffer, the next position and the distance history so far. Each call
// appends the codes of at least one step and moves position and state past them.
struct ParseCursor {
    MatchFinder& finder;
    const uint8_t* data;
    size_t size;
    size_t position;
    EncoderState& state;
};

// One step at a time, looking one byte ahead before taking a match.
void ParseLazy(ParseCursor& cursor, const CostModel& cost, std::vector<LzCode>& codes);
// The cheapest path through the next stretch of up to a few thousand bytes, by the cost model.
void ParseOptimal(ParseCursor& cursor, const CostModel& cost, std::vector<LzCode>& codes);

}  // namespace lz_parser
