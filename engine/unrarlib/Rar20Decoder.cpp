#include "engine/unrarlib/Rar20Decoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <cstring>

namespace {

// The extra bits behind each literal/length symbol: none but for the lengths of full matches.
constexpr std::array<uint8_t, rar::kLiteralTableSize> MakeLiteralExtraBits()
{
    std::array<uint8_t, rar::kLiteralTableSize> bits{};
    for (int symbol = rar::kSymbolMatch; symbol < rar::kLiteralTableSize; ++symbol)
        bits[static_cast<size_t>(symbol)] = rar::kLengthBits[symbol - rar::kSymbolMatch];
    return bits;
}
constexpr std::array<uint8_t, rar::kLiteralTableSize> kLiteralExtraBits = MakeLiteralExtraBits();

// Copies length bytes, sizeof(Word) <= length <= 2 * sizeof(Word), as a head and a tail that may
// overlap: no loop and no library call.
template <typename Word>
inline void CopyHeadAndTail(uint8_t* to, const uint8_t* from, uint32_t length)
{
    Word head, tail;
    std::memcpy(&head, from, sizeof(Word));
    std::memcpy(&tail, from + length - sizeof(Word), sizeof(Word));
    std::memcpy(to, &head, sizeof(Word));
    std::memcpy(to + length - sizeof(Word), &tail, sizeof(Word));
}

// Copies between ranges that do not overlap.
inline void CopyApart(uint8_t* to, const uint8_t* from, uint32_t length)
{
    if (length > 16) {
        std::memcpy(to, from, length);
    } else if (length >= 8) {
        CopyHeadAndTail<uint64_t>(to, from, length);
    } else if (length >= 4) {
        CopyHeadAndTail<uint32_t>(to, from, length);
    } else if (length >= 2) {
        CopyHeadAndTail<uint16_t>(to, from, length);
    } else if (length == 1) {
        to[0] = from[0];
    }
}

// Copies a match of length bytes from distance bytes back to position in the window, exactly:
// the bytes behind it are still the oldest ones, which matches may yet refer to. Copies that wrap
// around the window's end go byte by byte.
inline void CopyMatch(uint8_t* window, uint64_t position, uint32_t length, uint32_t distance)
{
    const uint32_t target = static_cast<uint32_t>(position) & rar::kWindowMask;
    const uint32_t source = static_cast<uint32_t>(position - distance) & rar::kWindowMask;
    const bool inside = target + length <= rar::kWindowSize && source + length <= rar::kWindowSize;
    uint8_t* to = window + target;
    const uint8_t* from = window + source;
    if (inside && distance >= length && rar::kWindowSize - distance >= length) {
        CopyApart(to, from, length);
    } else if (inside && distance >= 8 && rar::kWindowSize - distance >= 8) {
        // Forward in steps of eight, each reading only bytes already in place (or, with the source
        // ahead, bytes not yet overwritten); the last step may cover some bytes again, with the
        // values they already have.
        for (uint32_t i = 0; i + 8 <= length; i += 8) std::memcpy(to + i, from + i, 8);
        std::memcpy(to + length - 8, from + length - 8, 8);
    } else if (inside) {
        // Short distances repeat the bytes just written.
        for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
    } else {
        for (uint32_t i = 0; i < length; ++i)
            window[(target + i) & rar::kWindowMask] = window[(source + i) & rar::kWindowMask];
    }
}

// Decoded bytes into the window alone: the entries of a solid archive that are passed through on
// the way to the one asked for.
struct WindowSink {
    uint8_t* window;
    uint64_t position;
    uint64_t end;

    bool Room() const { return position < end; }
    void Put(uint8_t byte) { window[position++ & rar::kWindowMask] = byte; }
    // False when the match would run past the entry's end.
    bool Copy(uint32_t length, uint32_t distance)
    {
        if (length > end - position) return false;
        CopyMatch(window, position, length, distance);
        position += length;
        return true;
    }
};

// Copies a match whose source starts before the entry's first byte: that part comes from the
// window, which holds what the entries before it left there.
void CopyFromBefore(uint8_t* to, uint64_t produced, uint32_t length, uint32_t distance, const uint8_t* window,
                    uint64_t start)
{
    if (distance == 0) distance = rar::kWindowSize;
    for (uint32_t i = 0; i < length; ++i) {
        const uint64_t at = produced + i;
        to[i] = at >= distance ? to[static_cast<int64_t>(i) - distance]
                               : window[(start + at - distance) & rar::kWindowMask];
    }
}

// Decoded bytes straight into the entry's output block, which spares copying them out of the
// window and masking every position. Copies move whole words where they can, which may write up
// to Rar20Decoder::kOutputSlack bytes past the match; the next symbols overwrite them.
struct OutputSink {
    uint8_t* begin;
    uint8_t* next;
    uint8_t* end;
    const uint8_t* window;  // for matches reaching back before begin
    uint64_t start;         // the window position of begin[0]

    bool Room() const { return next < end; }
    void Put(uint8_t byte) { *next++ = byte; }
    bool Copy(uint32_t length, uint32_t distance)
    {
        if (length > static_cast<size_t>(end - next)) return false;
        const size_t produced = static_cast<size_t>(next - begin);
        // Distance 0 wraps to the whole window, as in the window itself.
        if (static_cast<size_t>(distance) - 1 >= produced) {
            CopyFromBefore(next, produced, length, distance, window, start);
        } else if (distance >= 8) {
            // Each word read lies wholly before the one written, so it is already in place. Most
            // matches are short: two words cover them without a loop.
            const uint8_t* from = next - distance;
            std::memcpy(next, from, 8);
            std::memcpy(next + 8, from + 8, 8);
            for (uint32_t i = 16; i < length; i += 8) std::memcpy(next + i, from + i, 8);
        } else {
            // Short distances repeat the bytes just written.
            const uint8_t* from = next - distance;
            for (uint32_t i = 0; i < length; ++i) next[i] = from[i];
        }
        next += length;
        return true;
    }
};

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
    literal_ = other.literal_;
    distance_ = other.distance_;
    repeat_ = other.repeat_;
    bitLength_ = other.bitLength_;
    std::copy(std::begin(other.audio_), std::end(other.audio_), std::begin(audio_));
    std::memcpy(oldLengths_, other.oldLengths_, sizeof(oldLengths_));
    history_ = other.history_;
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
    history_ = MatchHistory{};
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
        built = literal_.Build(lengths, rar::kLiteralTableSize, kLiteralExtraBits.data()) &&
                distance_.Build(lengths + rar::kLiteralTableSize, rar::kDistanceTableSize, rar::kDistanceBits) &&
                repeat_.Build(lengths + rar::kLiteralTableSize + rar::kDistanceTableSize, rar::kRepeatTableSize,
                              rar::kLengthBits);
    }
    std::memcpy(oldLengths_, lengths, sizeof(oldLengths_));
    return built;
}

void Rar20Decoder::KeepTail(const uint8_t* bytes, uint64_t count)
{
    const uint64_t keep = count < rar::kWindowSize ? count : rar::kWindowSize;
    const uint8_t* from = bytes + (count - keep);
    uint64_t at = position_ - keep;
    for (uint64_t left = keep; left > 0;) {
        const uint32_t index = static_cast<uint32_t>(at) & rar::kWindowMask;
        const uint64_t piece = std::min<uint64_t>(left, rar::kWindowSize - index);
        std::memcpy(window_ + index, from, static_cast<size_t>(piece));
        from += piece;
        at += piece;
        left -= piece;
    }
}

template <typename Sink>
Rar20Decoder::Result Rar20Decoder::DecodeLz(BitInput& input, Sink& target)
{
    Sink sink = target;
    MatchHistory history = history_;
    BitInput::Cursor bits = input.Bits();
    Result result = Result::Ok;
    while (sink.Room()) {
        if (!input.Refill(bits)) {
            result = Result::Corrupt;
            break;
        }
        unsigned extraBits;
        const int symbol = literal_.Decode(bits, extraBits);
        if (symbol < 256) {
            if (symbol < 0) {
                result = Result::Corrupt;
                break;
            }
            sink.Put(static_cast<uint8_t>(symbol));
            continue;
        }
        uint32_t length;
        uint32_t distance;
        if (symbol >= rar::kSymbolMatch) {
            length = rar::kLengthBases[symbol - rar::kSymbolMatch] + 3 + bits.Take(extraBits);
            const int distanceCode = distance_.Decode(bits, extraBits);
            if (distanceCode < 0) {
                result = Result::Corrupt;
                break;
            }
            distance = rar::kDistanceBases[distanceCode] + 1 + bits.Take(extraBits);
            length += rar::MatchLengthBonus(distance);
        } else if (symbol == rar::kSymbolNewTables) {
            history_ = history;
            input.Bits() = bits;
            target = sink;
            if (!ReadTables(input)) return Result::Corrupt;
            if (audioMode_) return Result::Ok;
            bits = input.Bits();
            continue;
        } else if (symbol == rar::kSymbolRepeatLast) {
            length = history.lastLength;
            distance = history.lastDistance;
        } else if (symbol < rar::kSymbolShortMatch) {
            distance = history.distances[(history.next - static_cast<uint32_t>(symbol - 256)) & 3];
            const int lengthCode = repeat_.Decode(bits, extraBits);
            if (lengthCode < 0) {
                result = Result::Corrupt;
                break;
            }
            length = rar::kLengthBases[lengthCode] + 2 + bits.Take(extraBits) + rar::RepeatLengthBonus(distance);
        } else {
            const int shortCode = symbol - rar::kSymbolShortMatch;
            distance = rar::kShortBases[shortCode] + 1 + bits.Take(rar::kShortBits[shortCode]);
            length = 2;
        }
        history.Record(length, distance);
        if (!sink.Copy(length, distance)) {
            result = Result::Overrun;
            break;
        }
    }
    history_ = history;
    input.Bits() = bits;
    target = sink;
    return result;
}

template <typename Sink>
Rar20Decoder::Result Rar20Decoder::DecodeAudio(BitInput& input, Sink& target)
{
    Sink sink = target;
    BitInput::Cursor bits = input.Bits();
    int channel = currentChannel_;
    int channels = channels_;
    int32_t channelDelta = channelDelta_;
    Result result = Result::Ok;
    while (sink.Room()) {
        if (!input.Refill(bits)) {
            result = Result::Corrupt;
            break;
        }
        const int symbol = audio_[channel].Decode(bits);
        if (symbol == rar::kAudioSymbolNewTables) {
            currentChannel_ = channel;
            channelDelta_ = channelDelta;
            input.Bits() = bits;
            target = sink;
            if (!ReadTables(input)) return Result::Corrupt;
            if (!audioMode_) return Result::Ok;
            bits = input.Bits();
            channel = currentChannel_;
            channels = channels_;
            continue;
        }
        if (symbol < 0) {
            result = Result::Corrupt;
            break;
        }
        sink.Put(predictors_[channel].Decode(static_cast<uint8_t>(symbol), channelDelta));
        if (++channel >= channels) channel = 0;
    }
    currentChannel_ = channel;
    channelDelta_ = channelDelta;
    input.Bits() = bits;
    target = sink;
    return result;
}

template <typename Sink>
Rar20Decoder::Result Rar20Decoder::Decode(BitInput& input, Sink& sink)
{
    while (sink.Room()) {
        const Result result = audioMode_ ? DecodeAudio(input, sink) : DecodeLz(input, sink);
        if (result != Result::Ok) return result;
    }
    return input.Overrun() ? Result::Corrupt : Result::Ok;
}

Rar20Decoder::Result Rar20Decoder::Unpack(BitInput& input, uint8_t* output, uint32_t size, bool solid)
{
    if (window_ == nullptr) return Result::Corrupt;
    if (!solid) {
        Reset();
        if (!ReadTables(input)) return Result::Corrupt;
    }
    const uint64_t start = position_;
    if (output == nullptr) {
        WindowSink sink{window_, start, start + size};
        const Result result = Decode(input, sink);
        position_ = sink.position;
        return result;
    }
    OutputSink sink{output, output, output + size, window_, start};
    const Result result = Decode(input, sink);
    const uint64_t produced = static_cast<uint64_t>(sink.next - output);
    position_ = start + produced;
    KeepTail(output, produced);
    return result;
}
