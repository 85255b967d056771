#pragma once

#include <cstdint>

#include "engine/unrarlib/AudioPredictor.h"
#include "engine/unrarlib/BitInput.h"
#include "engine/unrarlib/HuffmanTable.h"
#include "engine/unrarlib/RarFormat.h"

// The RAR 2.0 decoder: LZ mode (literals and matches into a 1 MB window) and audio mode (bytes
// predicted per channel), switching tables wherever the stream asks. Its state outlives one entry so
// that the entries of a solid archive continue from each other.
class Rar20Decoder {
public:
    enum class Result { Ok, Corrupt, Overrun };

    Rar20Decoder();
    ~Rar20Decoder();
    Rar20Decoder(const Rar20Decoder&) = delete;
    Rar20Decoder& operator=(const Rar20Decoder&) = delete;

    // Allocates the window, zeroed; false when memory runs out.
    bool Allocate();
    bool Allocated() const { return window_ != nullptr; }
    // Back to the state of a freshly allocated decoder: zeroed window, no tables, no history.
    void Clear();
    // Takes over the whole state of other, window included; false when memory runs out.
    bool CopyFrom(const Rar20Decoder& other);

    // Room a block handed to Unpack needs behind its size bytes: match copies move whole words
    // and may write that far past the last byte they produce.
    static constexpr uint32_t kOutputSlack = 16;

    // Decodes one entry of size bytes. output (size + kOutputSlack bytes, or null to only fill the
    // window) gets the entry's bytes; what lies behind them is undefined afterwards. A solid entry
    // goes on with the window, tables and history of the last one.
    Result Unpack(BitInput& input, uint8_t* output, uint32_t size, bool solid);

private:
    // The distances of the last four matches and the last match itself, which the repeat
    // symbols refer to.
    struct MatchHistory {
        uint32_t distances[4] = {};
        uint32_t next = 0;  // slot of the next distance; the newest is next - 1
        uint32_t lastDistance = 0;
        uint32_t lastLength = 0;

        void Record(uint32_t length, uint32_t distance)
        {
            distances[next++ & 3] = distance;
            lastDistance = distance;
            lastLength = length;
        }
    };

    void Reset();
    bool ReadTables(BitInput& input);
    // Sink is where the bytes go: the window alone, or the output block (see the .cpp file).
    template <typename Sink>
    Result Decode(BitInput& input, Sink& sink);
    // Each runs until the sink is full, the stream switches mode, or the data turns out broken;
    // the state lives in locals meanwhile and is stored back before every return.
    template <typename Sink>
    Result DecodeLz(BitInput& input, Sink& sink);
    template <typename Sink>
    Result DecodeAudio(BitInput& input, Sink& sink);
    // Puts the last bytes of an entry decoded into its output block where the window would hold
    // them, so that a solid entry after it finds them there.
    void KeepTail(const uint8_t* bytes, uint64_t count);

    uint8_t* window_ = nullptr;
    uint64_t position_ = 0;  // bytes decoded since the last reset; the window index is its low 20 bits

    HuffmanTable literal_;
    HuffmanTable distance_;
    HuffmanTable repeat_;
    HuffmanTable bitLength_;
    HuffmanTable audio_[rar::kMaxAudioChannels];
    uint8_t oldLengths_[rar::kAllTablesSize] = {};

    MatchHistory history_;

    bool audioMode_ = false;
    int channels_ = 1;
    int currentChannel_ = 0;
    int32_t channelDelta_ = 0;
    AudioPredictor predictors_[rar::kMaxAudioChannels];
};
