#pragma once

#include <cstdint>

#include "engine/unrarlib/BitInput.h"

// A canonical prefix code read from code lengths (0 = symbol absent, at most 15 bits): shorter
// codes first, and within one length in symbol order. Decoding looks the next 10 bits up in one
// table and walks the longer lengths only for rare symbols. Each symbol may carry the number of
// extra bits that follow its code, so that the decoder knows it as soon as the symbol.
class HuffmanTable {
public:
    static constexpr int kMaxSymbols = 298;

    // Returns false, leaving an empty table, when the lengths claim more codes than fit.
    // extraBits, when given, holds the extra bit count of every symbol.
    bool Build(const uint8_t* lengths, int symbolCount, const uint8_t* extraBits = nullptr);
    void Clear();

    // The next symbol, or -1 when the bits form no code of this table. The caller has refilled.
    int Decode(BitInput::Cursor& input) const
    {
        unsigned extraBits;
        return Decode(input, extraBits);
    }
    int Decode(BitInput::Cursor& input, unsigned& extraBits) const
    {
        Entry entry = quick_[input.buffer >> (64 - kQuickBits)];
        if (entry.length == 0) {
            entry = DecodeLong(input.Peek16());
            if (entry.length == 0) return -1;
        }
        input.Skip(entry.length);
        extraBits = entry.extraBits;
        return entry.symbol;
    }
    int Decode(BitInput& input) const { return Decode(input.Bits()); }

private:
    static constexpr int kQuickBits = 10;
    struct Entry {
        uint16_t symbol;
        uint8_t length;  // 0: longer code or none
        uint8_t extraBits;
    };

    // The code of more than kQuickBits bits that bits start with; length 0 when there is none.
    Entry DecodeLong(uint32_t bits) const;

    Entry quick_[1 << kQuickBits];
    uint32_t limit_[17];   // first left-justified 16-bit code past each length
    uint32_t start_[17];   // first left-justified code of each length
    uint16_t offset_[17];  // index in symbols_ of the first symbol of each length
    uint16_t symbols_[kMaxSymbols];
    uint8_t extraBits_[kMaxSymbols];  // by symbol
};
