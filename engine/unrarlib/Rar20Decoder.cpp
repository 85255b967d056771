#include "engine/unrarlib/Rar20Decoder.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <cstring>

namespace {

// Copies between ranges that do not overlap, without a library call for the short ones that
// most matches are.
inline void CopyApart(uint8_t* to, const uint8_t* from, uint32_t length)
{
    if (length < 8) {
        for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
    } else if (length <= 16) {
        uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + length - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + length - 8, &tail, 8);
    } else {
        std::memcpy(to, from, length);
    }
}

// Bytes may wait in the window this long before they are copied out; one step adds at most a
// few hundred, so nothing waiting is ever overwritten.
constexpr uint64_t kFlushThreshold = 0x80000;
constexpr int kSymbolsPerBatch = 64;

}  // namespace

Rar20Decoder::Rar20Decoder()
{
    Reset();
}

Rar20Decoder::~Rar20Decoder()
{
    std::free(window_);
}

bool Rar20Decoder::Allocate()
{
    if (window_ == nullptr) window_ = static_cast<uint8_t*>(std::calloc(rar::kWindowSize, 1));
    return window_ != nullptr;
}

void Rar20Decoder::Clear()
{
    if (window_ != nullptr) std::memset(window_, 0, rar::kWindowSize);
    Reset();
}

bool Rar20Decoder::CopyFrom(const Rar20Decoder& other)
{
    if (!Allocate() || other.window_ == nullptr) return false;
    std::memcpy(window_, other.window_, rar::kWindowSize);
    position_ = other.position_;
    flushed_ = other.flushed_;
    entryStart_ = other.entryStart_;
    literal_ = other.literal_;
    distance_ = other.distance_;
    repeat_ = other.repeat_;
    bitLength_ = other.bitLength_;
    std::copy(std::begin(other.audio_), std::end(other.audio_), std::begin(audio_));
    std::memcpy(oldLengths_, other.oldLengths_, sizeof(oldLengths_));
    std::memcpy(oldDistances_, other.oldDistances_, sizeof(oldDistances_));
    oldDistanceIndex_ = other.oldDistanceIndex_;
    lastDistance_ = other.lastDistance_;
    lastLength_ = other.lastLength_;
    audioMode_ = other.audioMode_;
    channels_ = other.channels_;
    currentChannel_ = other.currentChannel_;
    channelDelta_ = other.channelDelta_;
    std::copy(std::begin(other.predictors_), std::end(other.predictors_), std::begin(predictors_));
    return true;
}

void Rar20Decoder::Reset()
{
    position_ = 0;
    flushed_ = 0;
    entryStart_ = 0;
    for (uint32_t& distance : oldDistances_) distance = 0;
    oldDistanceIndex_ = 0;
    lastDistance_ = 0;
    lastLength_ = 0;
    audioMode_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    channelDelta_ = 0;
    for (AudioPredictor& predictor : predictors_) predictor = AudioPredictor{};
    std::memset(oldLengths_, 0, sizeof(oldLengths_));
    literal_.Clear();
    distance_.Clear();
    repeat_.Clear();
    for (HuffmanTable& table : audio_) table.Clear();
}

bool Rar20Decoder::ReadTables(BitInput& input)
{
    input.Refill();
    const uint32_t header = input.Peek16();
    const bool audio = (header & 0x8000) != 0;
    if ((header & 0x4000) == 0) std::memset(oldLengths_, 0, sizeof(oldLengths_));
    input.Skip(2);
    int tableSize = rar::kLzTablesSize;
    if (audio) {
        channels_ = static_cast<int>(input.Take(2)) + 1;
        if (currentChannel_ >= channels_) currentChannel_ = 0;
        tableSize = rar::kAudioTableSize * channels_;
    }
    uint8_t bitLengths[rar::kBitLengthTableSize];
    for (uint8_t& length : bitLengths) length = static_cast<uint8_t>(input.Read(4));
    if (!bitLength_.Build(bitLengths, rar::kBitLengthTableSize)) return false;

    // Positions past this table's size read as absent, never as leftovers.
    uint8_t lengths[rar::kAllTablesSize] = {};
    int i = 0;
    while (i < tableSize) {
        input.Refill();
        if (input.Overrun()) return false;
        const int symbol = bitLength_.Decode(input);
        if (symbol < 0) return false;
        if (symbol < 16) {
            lengths[i] = static_cast<uint8_t>((symbol + oldLengths_[i]) & 0xF);
            ++i;
        } else if (symbol == 16) {
            if (i == 0) return false;  // nothing written yet to repeat
            for (int n = 3 + static_cast<int>(input.Take(2)); n > 0 && i < tableSize; --n, ++i) lengths[i] = lengths[i - 1];
        } else {
            const int zeros = symbol == 17 ? 3 + static_cast<int>(input.Take(3)) : 11 + static_cast<int>(input.Take(7));
            for (int n = zeros; n > 0 && i < tableSize; --n) lengths[i++] = 0;
        }
    }
    if (input.Overrun()) return false;

    audioMode_ = audio;
    bool built = true;
    if (audio) {
        for (int channel = 0; channel < channels_; ++channel)
            built = audio_[channel].Build(lengths + channel * rar::kAudioTableSize, rar::kAudioTableSize) && built;
    } else {
        built = literal_.Build(lengths, rar::kLiteralTableSize) &&
                distance_.Build(lengths + rar::kLiteralTableSize, rar::kDistanceTableSize) &&
                repeat_.Build(lengths + rar::kLiteralTableSize + rar::kDistanceTableSize, rar::kRepeatTableSize);
    }
    std::memcpy(oldLengths_, lengths, sizeof(oldLengths_));
    return built;
}

void Rar20Decoder::CopyMatch(uint32_t length, uint32_t distance)
{
    oldDistances_[oldDistanceIndex_++ & 3] = distance;
    lastDistance_ = distance;
    lastLength_ = length;
    const uint32_t target = static_cast<uint32_t>(position_) & rar::kWindowMask;
    const uint32_t source = static_cast<uint32_t>(position_ - distance) & rar::kWindowMask;
    position_ += length;
    const bool inside = target + length <= rar::kWindowSize && source + length <= rar::kWindowSize;
    if (inside && distance >= length && rar::kWindowSize - distance >= length) {
        CopyApart(window_ + target, window_ + source, length);
        return;
    }
    if (inside && distance >= 8 && rar::kWindowSize - distance >= 8) {
        // Forward in steps of eight: each step reads only bytes already in place.
        uint8_t* to = window_ + target;
        const uint8_t* from = window_ + source;
        uint32_t i = 0;
        for (; i + 8 <= length; i += 8) std::memcpy(to + i, from + i, 8);
        for (; i < length; ++i) to[i] = from[i];
        return;
    }
    // Short distances repeat the bytes just written, so they go one byte at a time.
    for (uint32_t i = 0; i < length; ++i)
        window_[(target + i) & rar::kWindowMask] = window_[(source + i) & rar::kWindowMask];
}

bool Rar20Decoder::DecodeLzMatch(BitInput& input, int symbol)
{
    if (symbol >= rar::kSymbolMatch) {
        const int lengthCode = symbol - rar::kSymbolMatch;
        uint32_t length = rar::kLengthBases[lengthCode] + 3 + input.Take(rar::kLengthBits[lengthCode]);
        const int distanceCode = distance_.Decode(input);
        if (distanceCode < 0) return false;
        const uint32_t distance = rar::kDistanceBases[distanceCode] + 1 + input.Take(rar::kDistanceBits[distanceCode]);
        length += rar::MatchLengthBonus(distance);
        CopyMatch(length, distance);
        return true;
    }
    if (symbol == rar::kSymbolNewTables) return ReadTables(input);
    if (symbol == rar::kSymbolRepeatLast) {
        CopyMatch(lastLength_, lastDistance_);
        return true;
    }
    if (symbol < rar::kSymbolShortMatch) {
        const uint32_t distance = oldDistances_[(oldDistanceIndex_ - static_cast<uint32_t>(symbol - 256)) & 3];
        const int lengthCode = repeat_.Decode(input);
        if (lengthCode < 0) return false;
        const uint32_t length = rar::kLengthBases[lengthCode] + 2 + input.Take(rar::kLengthBits[lengthCode]) +
                                rar::RepeatLengthBonus(distance);
        CopyMatch(length, distance);
        return true;
    }
    const int shortCode = symbol - rar::kSymbolShortMatch;
    const uint32_t distance = rar::kShortBases[shortCode] + 1 + input.Take(rar::kShortBits[shortCode]);
    CopyMatch(2, distance);
    return true;
}

bool Rar20Decoder::DecodeAudioSymbol(BitInput& input)
{
    const int symbol = audio_[currentChannel_].Decode(input);
    if (symbol < 0) return false;
    if (symbol == rar::kAudioSymbolNewTables) return ReadTables(input);
    window_[position_++ & rar::kWindowMask] =
        predictors_[currentChannel_].Decode(static_cast<uint8_t>(symbol), channelDelta_);
    if (++currentChannel_ >= channels_) currentChannel_ = 0;
    return true;
}

bool Rar20Decoder::Flush(uint8_t* output, uint32_t size)
{
    const uint64_t end = entryStart_ + size;
    const uint64_t stop = position_ < end ? position_ : end;
    while (flushed_ < stop) {
        const uint32_t from = static_cast<uint32_t>(flushed_) & rar::kWindowMask;
        uint64_t count = stop - flushed_;
        if (count > rar::kWindowSize - from) count = rar::kWindowSize - from;
        if (output != nullptr) std::memcpy(output + (flushed_ - entryStart_), window_ + from, static_cast<size_t>(count));
        flushed_ += count;
    }
    return position_ <= end;
}

Rar20Decoder::Result Rar20Decoder::Unpack(BitInput& input, uint8_t* output, uint32_t size, bool solid)
{
    if (window_ == nullptr) return Result::Corrupt;
    if (!solid) {
        Reset();
        if (!ReadTables(input)) return Result::Corrupt;
    }
    entryStart_ = position_;
    flushed_ = position_;
    const uint64_t end = entryStart_ + size;
    while (position_ < end) {
        if (position_ - flushed_ >= kFlushThreshold) Flush(output, size);
        if (input.Overrun()) return Result::Corrupt;
        // Past its data the input only yields zero bits, so checking for that once per batch is
        // enough; a batch adds far less to the window than the flush leaves free.
        if (audioMode_) {
            for (int n = 0; n < kSymbolsPerBatch && position_ < end && audioMode_; ++n) {
                input.Refill();
                if (!DecodeAudioSymbol(input)) return Result::Corrupt;
            }
            continue;
        }
        for (int n = 0; n < kSymbolsPerBatch && position_ < end && !audioMode_; ++n) {
            input.Refill();
            const int symbol = literal_.Decode(input);
            if (symbol >= 0 && symbol < 256) {
                window_[position_++ & rar::kWindowMask] = static_cast<uint8_t>(symbol);
            } else if (symbol < 0 || !DecodeLzMatch(input, symbol)) {
                return Result::Corrupt;
            }
        }
    }
    if (input.Overrun()) return Result::Corrupt;
    return Flush(output, size) ? Result::Ok : Result::Overrun;
}
