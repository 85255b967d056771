#include "tools/rarwriter/Rar20Encoder.h"

#include <algorithm>
#include <cmath>

#include "tools/rarwriter/HuffmanBuilder.h"
#include "tools/rarwriter/LzParser.h"
#include "tools/rarwriter/MatchFinder.h"
#include "tools/rarwriter/TableWriter.h"

namespace {

constexpr size_t kTrialLimit = 0x20000;  // bytes

void WriteLzBlock(BitOutput& out, EncoderState& state, const std::vector<lz_parser::LzCode>& codes)
{
    uint32_t counts[rar::kLzTablesSize] = {};
    counts[rar::kSymbolNewTables] = 1;  // the way out of these tables must always be codable
    for (const lz_parser::LzCode& code : codes) {
        ++counts[code.symbol];
        if (code.second < 0) continue;
        const bool repeat = code.symbol < rar::kSymbolShortMatch;
        ++counts[(repeat ? rar::kLiteralTableSize + rar::kDistanceTableSize : rar::kLiteralTableSize) + code.second];
    }
    uint8_t lengths[rar::kAllTablesSize] = {};
    BuildCodeLengths(counts, rar::kLiteralTableSize, rar::kMaxCodeLength, lengths);
    BuildCodeLengths(counts + rar::kLiteralTableSize, rar::kDistanceTableSize, rar::kMaxCodeLength,
                     lengths + rar::kLiteralTableSize);
    BuildCodeLengths(counts + rar::kLiteralTableSize + rar::kDistanceTableSize, rar::kRepeatTableSize,
                     rar::kMaxCodeLength, lengths + rar::kLiteralTableSize + rar::kDistanceTableSize);
    WriteTables(out, state, lengths, false, 1);
    uint16_t symbols[rar::kLzTablesSize] = {};
    AssignCanonicalCodes(lengths, rar::kLiteralTableSize, symbols);
    AssignCanonicalCodes(lengths + rar::kLiteralTableSize, rar::kDistanceTableSize, symbols + rar::kLiteralTableSize);
    AssignCanonicalCodes(lengths + rar::kLiteralTableSize + rar::kDistanceTableSize, rar::kRepeatTableSize,
                         symbols + rar::kLiteralTableSize + rar::kDistanceTableSize);
    for (const lz_parser::LzCode& code : codes) {
        out.Put(symbols[code.symbol], lengths[code.symbol]);
        out.Put(code.extra1, code.extraBits1);
        if (code.second < 0) continue;
        const bool repeat = code.symbol < rar::kSymbolShortMatch;
        const int index = (repeat ? rar::kLiteralTableSize + rar::kDistanceTableSize : rar::kLiteralTableSize) + code.second;
        out.Put(symbols[index], lengths[index]);
        out.Put(code.extra2, code.extraBits2);
    }
}

}  // namespace

void Rar20Encoder::Begin(std::span<const uint8_t> data, bool solid)
{
    if (!solid) {
        state_ = EncoderState{};
        history_.clear();
    }
    buffer_.assign(history_.begin(), history_.end());
    buffer_.insert(buffer_.end(), data.begin(), data.end());
    entryStart_ = history_.size();
}

void Rar20Encoder::Commit()
{
    const size_t keep = std::min<size_t>(buffer_.size(), rar::kWindowSize);
    history_.assign(buffer_.end() - static_cast<std::ptrdiff_t>(keep), buffer_.end());
    buffer_.clear();
    buffer_.shrink_to_fit();
}

void Rar20Encoder::WriteLz(BitOutput& out, EncoderState& state, bool solid) const
{
    lz_parser::CostModel cost;
    cost.Guess(buffer_.data() + entryStart_, std::min<size_t>(buffer_.size() - entryStart_, 0x10000));
    // A small entry is one block whose costs can only be guessed; a trial run of that block
    // measures them instead, which pays for the second parse.
    if (buffer_.size() - entryStart_ <= kTrialLimit) {
        EncoderState trial = state;
        BitOutput scratch;
        WriteLzBlocks(scratch, trial, solid, cost, 1);
    }
    WriteLzBlocks(out, state, solid, cost, SIZE_MAX);
}

void Rar20Encoder::WriteLzBlocks(BitOutput& out, EncoderState& state, bool solid, lz_parser::CostModel& cost,
                                 size_t maxBlocks) const
{
    MatchFinder finder(buffer_.data(), buffer_.size(), options_.maxChain);
    for (size_t i = 0; i < entryStart_; ++i) finder.Insert(i);
    size_t position = entryStart_;
    bool first = true;
    std::vector<lz_parser::LzCode> codes;
    for (size_t block = 0; block < maxBlocks && position < buffer_.size(); ++block) {
        codes.clear();
        // The block's codes are chosen first, so the distance history is walked on a copy that
        // becomes the state once the block is written.
        EncoderState walked = state;
        lz_parser::ParseCursor cursor{finder, buffer_.data(), buffer_.size(), position, walked};
        while (cursor.position < buffer_.size() && codes.size() < options_.blockSymbols) {
            if (options_.optimalParse) {
                lz_parser::ParseOptimal(cursor, cost, codes);
            } else {
                lz_parser::ParseLazy(cursor, cost, codes);
            }
        }
        position = cursor.position;
        if (!first || solid) WriteTableSwitch(out, state);
        first = false;
        WriteLzBlock(out, state, codes);
        cost.Learn(state.tableLengths);
        std::memcpy(state.oldDistances, walked.oldDistances, sizeof(state.oldDistances));
        state.oldDistanceIndex = walked.oldDistanceIndex;
        state.lastDistance = walked.lastDistance;
        state.lastLength = walked.lastLength;
    }
}

void Rar20Encoder::WriteAudio(BitOutput& out, EncoderState& state, std::span<const uint8_t> data, int channels,
                              bool solid) const
{
    size_t position = 0;
    bool first = true;
    std::vector<uint8_t> deltas;
    while (position < data.size()) {
        const size_t count = std::min<size_t>(options_.audioBlockBytes, data.size() - position);
        if (!first || solid) WriteTableSwitch(out, state);
        first = false;
        // Reading the tables settles the channel the block starts on; the deltas follow from it.
        EncoderState walked = state;
        walked.channels = channels;
        if (walked.currentChannel >= channels) walked.currentChannel = 0;
        uint32_t counts[rar::kAllTablesSize] = {};
        deltas.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const int channel = walked.currentChannel;
            deltas[i] = walked.predictors[channel].Encode(data[position + i], walked.channelDelta);
            ++counts[channel * rar::kAudioTableSize + deltas[i]];
            if (++walked.currentChannel >= channels) walked.currentChannel = 0;
        }
        uint8_t lengths[rar::kAllTablesSize] = {};
        for (int channel = 0; channel < channels; ++channel) {
            uint32_t* table = counts + channel * rar::kAudioTableSize;
            table[rar::kAudioSymbolNewTables] = 1;
            BuildCodeLengths(table, rar::kAudioTableSize, rar::kMaxCodeLength, lengths + channel * rar::kAudioTableSize);
        }
        const int startChannel = state.currentChannel >= channels ? 0 : state.currentChannel;
        WriteTables(out, state, lengths, true, channels);
        uint16_t codes[rar::kAllTablesSize] = {};
        for (int channel = 0; channel < channels; ++channel)
            AssignCanonicalCodes(lengths + channel * rar::kAudioTableSize, rar::kAudioTableSize,
                                 codes + channel * rar::kAudioTableSize);
        int channel = startChannel;
        for (size_t i = 0; i < count; ++i) {
            const int index = channel * rar::kAudioTableSize + deltas[i];
            out.Put(codes[index], lengths[index]);
            if (++channel >= channels) channel = 0;
        }
        std::copy(std::begin(walked.predictors), std::end(walked.predictors), std::begin(state.predictors));
        state.channelDelta = walked.channelDelta;
        state.currentChannel = walked.currentChannel;
        position += count;
    }
}

int Rar20Encoder::BestAudioChannels(std::span<const uint8_t> data, const EncoderState& state, double& bits) const
{
    int best = 1;
    bits = 0;
    for (int channels = 1; channels <= rar::kMaxAudioChannels; ++channels) {
        EncoderState walked = state;
        walked.currentChannel = walked.currentChannel >= channels ? 0 : walked.currentChannel;
        std::vector<uint32_t> counts(rar::kAudioTableSize * channels, 0);
        for (uint8_t byte : data) {
            const int channel = walked.currentChannel;
            ++counts[channel * rar::kAudioTableSize + walked.predictors[channel].Encode(byte, walked.channelDelta)];
            if (++walked.currentChannel >= channels) walked.currentChannel = 0;
        }
        double entropy = 0;
        for (int channel = 0; channel < channels; ++channel) {
            double total = 0;
            for (int s = 0; s < rar::kAudioTableSize; ++s) total += counts[channel * rar::kAudioTableSize + s];
            for (int s = 0; s < rar::kAudioTableSize && total > 0; ++s) {
                const double n = counts[channel * rar::kAudioTableSize + s];
                if (n > 0) entropy -= n * std::log2(n / total);
            }
        }
        if (channels == 1 || entropy < bits) {
            bits = entropy;
            best = channels;
        }
    }
    return best;
}

std::vector<uint8_t> Rar20Encoder::EncodeAudio(std::span<const uint8_t> data, bool solid, int channels)
{
    if (data.empty()) return {};
    Begin(data, solid);
    BitOutput out;
    WriteAudio(out, state_, data, std::clamp(channels, 1, rar::kMaxAudioChannels), solid);
    Commit();
    return out.Finish();
}

std::vector<uint8_t> Rar20Encoder::Encode(std::span<const uint8_t> data, bool solid, bool* audioUsed)
{
    if (audioUsed != nullptr) *audioUsed = false;
    if (data.empty()) return {};
    if (options_.forceAudioChannels > 0) {
        if (audioUsed != nullptr) *audioUsed = true;
        return EncodeAudio(data, solid, options_.forceAudioChannels);
    }
    Begin(data, solid);
    const EncoderState start = state_;
    BitOutput lz;
    WriteLz(lz, state_, solid);
    // Sample data packs badly as LZ; only then is audio mode worth a try.
    if (options_.tryAudio && lz.BitCount() > data.size() * 4) {
        double estimate = 0;
        const int channels = BestAudioChannels(data, start, estimate);
        if (estimate < static_cast<double>(lz.BitCount())) {
            EncoderState audioState = start;
            BitOutput audio;
            WriteAudio(audio, audioState, data, channels, solid);
            if (audio.BitCount() < lz.BitCount()) {
                state_ = audioState;
                Commit();
                if (audioUsed != nullptr) *audioUsed = true;
                return audio.Finish();
            }
        }
    }
    Commit();
    return lz.Finish();
}
