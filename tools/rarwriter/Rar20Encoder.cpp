#include "tools/rarwriter/Rar20Encoder.h"

#include <algorithm>
#include <cmath>

#include "tools/rarwriter/HuffmanBuilder.h"
#include "tools/rarwriter/MatchFinder.h"
#include "tools/rarwriter/TableWriter.h"

namespace {

constexpr uint32_t kMaxMatch = 257;   // codable at every distance, by every kind of match
constexpr uint32_t kGoodEnough = 96;  // a match this long is taken without looking one byte on
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

int CodeFor(const uint8_t* bases, int count, uint32_t value)
{
    int code = count - 1;
    while (bases[code] > value) --code;
    return code;
}

int DistanceCode(uint32_t value)
{
    return static_cast<int>(std::upper_bound(rar::kDistanceBases, rar::kDistanceBases + 48, value) - rar::kDistanceBases) - 1;
}

struct Choice {
    enum Kind { Literal, RepeatLast, Repeat, Short, Match } kind = Literal;
    uint32_t length = 1;
    uint32_t distance = 0;
    int age = 0;
    float saving = 0;
};

// The step that saves the most bits at position, given where the recent matches pointed.
Choice BestAt(const MatchFinder& finder, const uint8_t* data, size_t position, const EncoderState& state,
              const CostModel& cost)
{
    Choice best;
    const uint8_t* here = data + position;
    if (state.lastLength > 0 && finder.MatchLength(position, state.lastDistance, state.lastLength) == state.lastLength) {
        const float saving = cost.Literals(here, state.lastLength) - cost.symbol[rar::kSymbolRepeatLast];
        if (saving > best.saving) best = {Choice::RepeatLast, state.lastLength, state.lastDistance, 0, saving};
    }
    for (int age = 0; age < 4; ++age) {
        const uint32_t distance = state.OldDistance(age);
        const uint32_t length = finder.MatchLength(position, distance, kMaxMatch);
        const uint32_t bonus = rar::RepeatLengthBonus(distance);
        if (length < 2 + bonus) continue;
        const int code = CodeFor(rar::kLengthBases, 28, length - 2 - bonus);
        const float saving = cost.Literals(here, length) - cost.symbol[rar::kSymbolRepeatOld + age] - cost.repeat[code] -
                             rar::kLengthBits[code];
        if (saving > best.saving) best = {Choice::Repeat, length, distance, age, saving};
    }
    const MatchFinder::Match match = finder.Longest(position, kMaxMatch);
    if (match.length > 0) {
        const int lengthCode = CodeFor(rar::kLengthBases, 28, match.length - 3 - rar::MatchLengthBonus(match.distance));
        const int distanceCode = DistanceCode(match.distance - 1);
        const float saving = cost.Literals(here, match.length) - cost.symbol[rar::kSymbolMatch + lengthCode] -
                             rar::kLengthBits[lengthCode] - cost.distance[distanceCode] - rar::kDistanceBits[distanceCode];
        if (saving > best.saving) best = {Choice::Match, match.length, match.distance, 0, saving};
    }
    const uint32_t distance = finder.PairDistance(position);
    if (distance >= 1 && distance <= 256) {
        const int code = CodeFor(rar::kShortBases, 8, distance - 1);
        const float saving = cost.Literals(here, 2) - cost.symbol[rar::kSymbolShortMatch + code] - rar::kShortBits[code];
        if (saving > best.saving) best = {Choice::Short, 2, distance, 0, saving};
    }
    return best;
}

LzCode MakeCode(const Choice& choice, uint8_t literal)
{
    switch (choice.kind) {
    case Choice::Literal:
        return {literal, 0, -1, 0, 0, 0};
    case Choice::RepeatLast:
        return {rar::kSymbolRepeatLast, 0, -1, 0, 0, 0};
    case Choice::Repeat: {
        const uint32_t value = choice.length - 2 - rar::RepeatLengthBonus(choice.distance);
        const int code = CodeFor(rar::kLengthBases, 28, value);
        return {static_cast<uint16_t>(rar::kSymbolRepeatOld + choice.age), 0, static_cast<int16_t>(code),
                rar::kLengthBits[code], 0, value - rar::kLengthBases[code]};
    }
    case Choice::Short: {
        const int code = CodeFor(rar::kShortBases, 8, choice.distance - 1);
        return {static_cast<uint16_t>(rar::kSymbolShortMatch + code), rar::kShortBits[code], -1, 0,
                choice.distance - 1 - rar::kShortBases[code], 0};
    }
    case Choice::Match:
        break;
    }
    const uint32_t lengthValue = choice.length - 3 - rar::MatchLengthBonus(choice.distance);
    const int lengthCode = CodeFor(rar::kLengthBases, 28, lengthValue);
    const int distanceCode = DistanceCode(choice.distance - 1);
    return {static_cast<uint16_t>(rar::kSymbolMatch + lengthCode), rar::kLengthBits[lengthCode],
            static_cast<int16_t>(distanceCode), rar::kDistanceBits[distanceCode],
            lengthValue - rar::kLengthBases[lengthCode], choice.distance - 1 - rar::kDistanceBases[distanceCode]};
}

void WriteLzBlock(BitOutput& out, EncoderState& state, const std::vector<LzCode>& codes)
{
    uint32_t counts[rar::kLzTablesSize] = {};
    counts[rar::kSymbolNewTables] = 1;  // the way out of these tables must always be codable
    for (const LzCode& code : codes) {
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
    for (const LzCode& code : codes) {
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

void Rar20Encoder::Commit(std::span<const uint8_t> data)
{
    (void)data;
    const size_t keep = std::min<size_t>(buffer_.size(), rar::kWindowSize);
    history_.assign(buffer_.end() - static_cast<std::ptrdiff_t>(keep), buffer_.end());
    buffer_.clear();
    buffer_.shrink_to_fit();
}

void Rar20Encoder::WriteLz(BitOutput& out, EncoderState& state, bool solid) const
{
    MatchFinder finder(buffer_.data(), buffer_.size(), options_.maxChain);
    for (size_t i = 0; i < entryStart_; ++i) finder.Insert(i);
    size_t position = entryStart_;
    bool first = true;
    std::vector<LzCode> codes;
    CostModel cost;
    cost.Guess(buffer_.data() + position, std::min<size_t>(buffer_.size() - position, 0x10000));
    while (position < buffer_.size()) {
        codes.clear();
        // The block's codes are chosen first, so the distance history must be walked on a copy
        // that becomes the state once the block is written.
        EncoderState walked = state;
        while (position < buffer_.size() && codes.size() < options_.blockSymbols) {
            Choice choice = BestAt(finder, buffer_.data(), position, walked, cost);
            if (choice.kind != Choice::Literal && choice.length < kGoodEnough && position + 1 < buffer_.size()) {
                finder.Insert(position);
                const Choice next = BestAt(finder, buffer_.data(), position + 1, walked, cost);
                if (next.saving > choice.saving) {
                    codes.push_back(MakeCode(Choice{}, buffer_[position]));
                    ++position;
                    continue;
                }
                codes.push_back(MakeCode(choice, buffer_[position]));
                for (size_t i = position + 1; i < position + choice.length; ++i) finder.Insert(i);
            } else {
                codes.push_back(MakeCode(choice, buffer_[position]));
                for (size_t i = position; i < position + choice.length; ++i) finder.Insert(i);
            }
            if (choice.kind != Choice::Literal) walked.PushMatch(choice.length, choice.distance);
            position += choice.length;
        }
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

std::vector<uint8_t> Rar20Encoder::EncodeLz(std::span<const uint8_t> data, bool solid)
{
    if (data.empty()) return {};
    Begin(data, solid);
    BitOutput out;
    WriteLz(out, state_, solid);
    Commit(data);
    return out.Finish();
}

std::vector<uint8_t> Rar20Encoder::EncodeAudio(std::span<const uint8_t> data, bool solid, int channels)
{
    if (data.empty()) return {};
    Begin(data, solid);
    BitOutput out;
    WriteAudio(out, state_, data, std::clamp(channels, 1, rar::kMaxAudioChannels), solid);
    Commit(data);
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
                Commit(data);
                if (audioUsed != nullptr) *audioUsed = true;
                return audio.Finish();
            }
        }
    }
    Commit(data);
    return lz.Finish();
}
