#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

class ArchiveStream;

// The packed data of one entry as a stream of bits, most significant bit first. Reads past the
// packed data yield zero bits and are remembered, so the decoder can tell a stream that ran out
// from one that ended where it should.
class BitInput {
public:
    BitInput(ArchiveStream& stream, uint64_t packedSize);

    // Tops the bit buffer up to at least 56 bits: enough for a length symbol, its extra bits, a
    // distance symbol and its extra bits without refilling in between.
    void Refill()
    {
        if (count_ >= 56) return;
        if (end_ - next_ >= 8) {
            uint64_t word;
            std::memcpy(&word, next_, sizeof(word));
            if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
            // Bits below count_ already hold the same stream bytes or zeros, so OR keeps them right.
            buffer_ |= word >> count_;
            const unsigned bytes = (63 - count_) >> 3;
            next_ += bytes;
            loaded_ += bytes;
            count_ += bytes * 8;
            return;
        }
        RefillSlowly();
    }

    uint32_t Peek16() const { return static_cast<uint32_t>(buffer_ >> 48); }
    void Skip(unsigned bits)
    {
        buffer_ <<= bits;
        count_ -= bits;
    }
    // Up to 16 bits; the caller has refilled.
    uint32_t Take(unsigned bits)
    {
        if (bits == 0) return 0;
        const uint32_t value = static_cast<uint32_t>(buffer_ >> (64 - bits));
        Skip(bits);
        return value;
    }
    uint32_t Read(unsigned bits)
    {
        Refill();
        return Take(bits);
    }

    // True once more bits were taken than the entry's packed data holds.
    bool Overrun() const { return loaded_ * 8 - count_ > packedBits_; }

private:
    static constexpr int kChunkSize = 0x2000;  // bytes

    void RefillSlowly();
    void FillChunk();

    ArchiveStream& stream_;
    uint64_t unread_;      // packed bytes still in the stream
    uint64_t packedBits_;
    uint64_t read_ = 0;    // bytes taken from the stream
    uint64_t loaded_ = 0;  // bytes moved into the bit buffer, zero padding included
    uint64_t buffer_ = 0;  // the next bits, most significant first
    unsigned count_ = 0;   // valid bits in buffer_
    const uint8_t* next_;
    const uint8_t* end_;
    uint8_t chunk_[kChunkSize];
};
