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
    // The bit buffer and the read position in the bytes at hand, as a plain value. The decoder's
    // inner loops work on a copy held in locals, where the compiler can keep it in registers
    // (writes into the window could alias it anywhere else), and hand it back for slow refills.
    struct Cursor {
        uint64_t buffer = 0;  // the next bits, most significant first
        unsigned count = 0;   // valid bits in buffer, never more than 63
        const uint8_t* next = nullptr;
        const uint8_t* end = nullptr;

        // Tops the buffer up to at least 56 bits, enough for a length symbol, its extra bits, a
        // distance symbol and its extra bits. False when fewer than 8 bytes are at hand and fewer
        // than 56 bits in: then the owner must refill slowly. Without a branch on the count: the
        // bytes that fit are taken whole, and count | 56 is the count they make.
        bool RefillFast()
        {
            if (end - next < 8) return count >= 56;
            uint64_t word;
            std::memcpy(&word, next, sizeof(word));
            if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
            // Bits below count already hold the same stream bytes or zeros, so OR keeps them right.
            buffer |= word >> count;
            next += (63 - count) >> 3;
            count |= 56;
            return true;
        }

        uint32_t Peek16() const { return static_cast<uint32_t>(buffer >> 48); }
        void Skip(unsigned bits)
        {
            buffer <<= bits;
            count -= bits;
        }
        // Up to 16 bits; the caller has refilled. Shifting in two steps makes 0 bits read 0
        // without a branch.
        uint32_t Take(unsigned bits)
        {
            const uint32_t value = static_cast<uint32_t>((buffer >> 1) >> (63 - bits));
            Skip(bits);
            return value;
        }
    };

    BitInput(ArchiveStream& stream, uint64_t packedSize);
    BitInput(const BitInput&) = delete;
    BitInput& operator=(const BitInput&) = delete;

    void Refill()
    {
        if (!cursor_.RefillFast()) RefillSlowly();
    }
    // Refills a cursor that was taken out with Bits() and worked on as a copy. False once the
    // bits taken pass the packed data: past it the stream yields only zeros, and since every
    // refill from them takes the slow way, the check costs nothing on the fast one.
    bool Refill(Cursor& cursor)
    {
        if (cursor.RefillFast()) return true;
        cursor_ = cursor;
        RefillSlowly();
        cursor = cursor_;
        return !Overrun(cursor);
    }
    // Loads the next bytes from the archive, zeros past the packed data, until 56 bits are in.
    void RefillSlowly();

    Cursor& Bits() { return cursor_; }
    uint32_t Peek16() const { return cursor_.Peek16(); }
    void Skip(unsigned bits) { cursor_.Skip(bits); }
    uint32_t Take(unsigned bits) { return cursor_.Take(bits); }
    uint32_t Read(unsigned bits)
    {
        Refill();
        return Take(bits);
    }

    // True once more bits were taken than the entry's packed data holds.
    bool Overrun() const { return Overrun(cursor_); }
    bool Overrun(const Cursor& cursor) const
    {
        const uint64_t loaded = chunkStart_ + static_cast<uint64_t>(cursor.next - chunk_) + padding_;
        return loaded * 8 - cursor.count > packedBits_;
    }

private:
    static constexpr int kChunkSize = 0x2000;  // bytes

    void FillChunk();

    ArchiveStream& stream_;
    uint64_t unread_;          // packed bytes still in the stream
    uint64_t packedBits_;
    uint64_t read_ = 0;        // bytes taken from the stream
    uint64_t chunkStart_ = 0;  // bytes of the stream before chunk_[0]
    uint64_t padding_ = 0;     // zero bytes moved into the bit buffer past the packed data
    Cursor cursor_;
    uint8_t chunk_[kChunkSize];
};
