#include "tools/rarwriter/TableWriter.h"

#include <vector>

#include "tools/rarwriter/HuffmanBuilder.h"

namespace {

struct LengthCode {
    uint8_t symbol;
    uint8_t extraBits;
    uint8_t extra;
};

// The lengths as bit-length symbols: runs of zeros and repeats where they pay, deltas elsewhere.
std::vector<LengthCode> DescribeLengths(const uint8_t* lengths, const uint8_t* previous, int size)
{
    std::vector<LengthCode> codes;
    int i = 0;
    while (i < size) {
        int run = 0;
        if (lengths[i] == 0) {
            while (i + run < size && lengths[i + run] == 0 && run < 138) ++run;
            if (run >= 11) {
                codes.push_back({18, 7, static_cast<uint8_t>(run - 11)});
                i += run;
                continue;
            }
            if (run >= 3) {
                codes.push_back({17, 3, static_cast<uint8_t>(run - 3)});
                i += run;
                continue;
            }
        }
        run = 0;
        if (i > 0) {
            while (i + run < size && lengths[i + run] == lengths[i - 1] && run < 6) ++run;
        }
        if (run >= 3) {
            codes.push_back({16, 2, static_cast<uint8_t>(run - 3)});
            i += run;
            continue;
        }
        codes.push_back({static_cast<uint8_t>((lengths[i] - previous[i]) & 0xF), 0, 0});
        ++i;
    }
    return codes;
}

struct Description {
    std::vector<LengthCode> codes;
    uint8_t bitLengths[rar::kBitLengthTableSize] = {};
    uint64_t bits = 0;
};

Description Describe(const uint8_t* lengths, const uint8_t* previous, int size)
{
    Description d;
    d.codes = DescribeLengths(lengths, previous, size);
    uint32_t counts[rar::kBitLengthTableSize] = {};
    for (const LengthCode& code : d.codes) ++counts[code.symbol];
    BuildCodeLengths(counts, rar::kBitLengthTableSize, rar::kMaxCodeLength, d.bitLengths);
    d.bits = 4 * rar::kBitLengthTableSize;
    for (const LengthCode& code : d.codes) d.bits += d.bitLengths[code.symbol] + code.extraBits;
    return d;
}

}  // namespace

void WriteTables(BitOutput& out, EncoderState& state, const uint8_t* lengths, bool audio, int channels)
{
    const int size = audio ? rar::kAudioTableSize * channels : rar::kLzTablesSize;
    const uint8_t cleared[rar::kAllTablesSize] = {};
    const Description kept = Describe(lengths, state.oldLengths, size);
    const Description fresh = Describe(lengths, cleared, size);
    const bool keep = kept.bits <= fresh.bits;
    const Description& chosen = keep ? kept : fresh;

    out.Put(audio ? 1 : 0, 1);
    out.Put(keep ? 1 : 0, 1);
    if (audio) {
        out.Put(static_cast<uint32_t>(channels - 1), 2);
        state.channels = channels;
        if (state.currentChannel >= channels) state.currentChannel = 0;
    }
    for (uint8_t length : chosen.bitLengths) out.Put(length, 4);
    uint16_t codes[rar::kBitLengthTableSize] = {};
    AssignCanonicalCodes(chosen.bitLengths, rar::kBitLengthTableSize, codes);
    for (const LengthCode& code : chosen.codes) {
        out.Put(codes[code.symbol], chosen.bitLengths[code.symbol]);
        out.Put(code.extra, code.extraBits);
    }
    std::memcpy(state.oldLengths, lengths, sizeof(state.oldLengths));
    std::memcpy(state.tableLengths, lengths, sizeof(state.tableLengths));
    state.audioMode = audio;
    state.hasTables = true;
}

void WriteTableSwitch(BitOutput& out, const EncoderState& state)
{
    const int size = state.audioMode ? rar::kAudioTableSize : rar::kLiteralTableSize;
    const uint8_t* lengths = state.tableLengths + (state.audioMode ? rar::kAudioTableSize * state.currentChannel : 0);
    const int symbol = state.audioMode ? rar::kAudioSymbolNewTables : rar::kSymbolNewTables;
    uint16_t codes[rar::kLiteralTableSize] = {};
    AssignCanonicalCodes(lengths, size, codes);
    out.Put(codes[symbol], lengths[symbol]);
}
