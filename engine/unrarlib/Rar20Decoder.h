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

    // Decodes one entry of size bytes. output (size bytes, or null to only fill the window) gets
    // the entry's bytes. A solid entry goes on with the window, tables and history of the last one.
    Result Unpack(BitInput& input, uint8_t* output, uint32_t size, bool solid);

private:
    void Reset();
    bool ReadTables(BitInput& input);
    // A literal/length symbol of 256 and above: a match of some kind or new tables.
    bool DecodeLzMatch(BitInput& input, int symbol);
    bool DecodeAudioSymbol(BitInput& input);
    void CopyMatch(uint32_t length, uint32_t distance);
    bool Flush(uint8_t* output, uint32_t size);

    uint8_t* window_ = nullptr;
    uint64_t position_ = 0;  // bytes written since the last reset; the window index is its low 20 bits
    uint64_t flushed_ = 0;   // bytes of position_ already handed to the output
    uint64_t entryStart_ = 0;

    HuffmanTable literal_;
    HuffmanTable distance_;
    HuffmanTable repeat_;
    HuffmanTable bitLength_;
    HuffmanTable audio_[rar::kMaxAudioChannels];
    uint8_t oldLengths_[rar::kAllTablesSize] = {};

    uint32_t oldDistances_[4] = {};
    uint32_t oldDistanceIndex_ = 0;
    uint32_t lastDistance_ = 0;
    uint32_t lastLength_ = 0;

    bool audioMode_ = false;
    int channels_ = 1;
    int currentChannel_ = 0;
    int32_t channelDelta_ = 0;
    AudioPredictor predictors_[rar::kMaxAudioChannels];
};
