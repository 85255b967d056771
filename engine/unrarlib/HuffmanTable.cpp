#include "engine/unrarlib/HuffmanTable.h"

#include <cstring>

#include "engine/unrarlib/RarFormat.h"

void HuffmanTable::Clear()
{
    std::memset(quick_, 0, sizeof(quick_));
    for (int length = 0; length <= 16; ++length) {
        limit_[length] = 0;
        start_[length] = 0;
        offset_[length] = 0;
    }
}

bool HuffmanTable::Build(const uint8_t* lengths, int symbolCount, const uint8_t* extraBits)
{
    Clear();
    if (symbolCount > kMaxSymbols) return false;
    for (int symbol = 0; symbol < symbolCount; ++symbol) extraBits_[symbol] = extraBits != nullptr ? extraBits[symbol] : 0;
    int counts[16] = {};
    for (int i = 0; i < symbolCount; ++i) {
        if (lengths[i] > rar::kMaxCodeLength) return false;
        ++counts[lengths[i]];
    }
    counts[0] = 0;
    uint32_t code = 0;  // left-justified in 16 bits
    uint16_t index = 0;
    for (int length = 1; length <= rar::kMaxCodeLength; ++length) {
        start_[length] = code;
        offset_[length] = index;
        code += static_cast<uint32_t>(counts[length]) << (16 - length);
        limit_[length] = code;
        index = static_cast<uint16_t>(index + counts[length]);
    }
    if (code > 0x10000) {
        Clear();
        return false;
    }
    uint16_t next[16];
    for (int length = 1; length <= rar::kMaxCodeLength; ++length) next[length] = offset_[length];
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        const int length = lengths[symbol];
        if (length != 0) symbols_[next[length]++] = static_cast<uint16_t>(symbol);
    }
    for (int length = 1; length <= kQuickBits; ++length) {
        for (int rank = 0; rank < counts[length]; ++rank) {
            const uint32_t first = (start_[length] >> (16 - kQuickBits)) + (static_cast<uint32_t>(rank) << (kQuickBits - length));
            const uint32_t span = 1u << (kQuickBits - length);
            const uint16_t symbol = symbols_[offset_[length] + rank];
            const Entry entry{symbol, static_cast<uint8_t>(length), extraBits_[symbol]};
            for (uint32_t i = 0; i < span; ++i) quick_[first + i] = entry;
        }
    }
    return true;
}

HuffmanTable::Entry HuffmanTable::DecodeLong(uint32_t bits) const
{
    for (int length = kQuickBits + 1; length <= rar::kMaxCodeLength; ++length) {
        if (bits < limit_[length]) {
            if (bits < start_[length]) return {};
            const uint16_t symbol = symbols_[offset_[length] + ((bits - start_[length]) >> (16 - length))];
            return {symbol, static_cast<uint8_t>(length), extraBits_[symbol]};
        }
    }
    return {};
}
