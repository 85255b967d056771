#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/rarwriter/BitOutput.h"
#include "tools/rarwriter/EncoderState.h"
#include "tools/rarwriter/LzParser.h"

// The RAR 2.0 compressor: LZ mode over a 1 MB window (hash chains, lazy matching, the four last
// distances, short matches, tables rebuilt per block) and audio mode for sample data, whichever
// packs an entry smaller. Entries of a solid archive go on from each other.
class Rar20Encoder {
public:
    struct Options {
        int maxChain = 48;       // candidates tried per position
        bool optimalParse = true;  // cheapest path by the cost model; false: lazy matching, faster
        bool tryAudio = true;
        int forceAudioChannels = 0;  // 1..4: every entry in audio mode with that many channels
        uint32_t blockSymbols = 0x8000;  // LZ symbols per table
        uint32_t audioBlockBytes = 0x10000;
    };

    Rar20Encoder() = default;
    explicit Rar20Encoder(const Options& options) : options_(options) {}

    // Whether an entry can go on from the ones before it (a compressed entry has set up tables).
    bool CanContinue() const { return state_.hasTables; }

    // The packed bytes of one entry. solid continues from the previous entry (CanContinue must
    // hold); otherwise the reader resets before it, and so does the encoder. audioUsed tells
    // which mode won.
    std::vector<uint8_t> Encode(std::span<const uint8_t> data, bool solid, bool* audioUsed = nullptr);

private:
    std::vector<uint8_t> EncodeAudio(std::span<const uint8_t> data, bool solid, int channels);
    void Begin(std::span<const uint8_t> data, bool solid);
    // The entry just packed joins the history the next solid entry may refer to.
    void Commit();
    void WriteLz(BitOutput& out, EncoderState& state, bool solid) const;
    void WriteLzBlocks(BitOutput& out, EncoderState& state, bool solid, lz_parser::CostModel& cost,
                       size_t maxBlocks) const;
    void WriteAudio(BitOutput& out, EncoderState& state, std::span<const uint8_t> data, int channels, bool solid) const;
    int BestAudioChannels(std::span<const uint8_t> data, const EncoderState& state, double& bits) const;

    Options options_;
    EncoderState state_;
    std::vector<uint8_t> history_;  // what the reader's window holds since its last reset, at most 1 MB
    std::vector<uint8_t> buffer_;   // history followed by the entry being packed
    size_t entryStart_ = 0;
};
