#pragma once

#include <cstdint>
#include <vector>

// Bits written most significant first, the order in which the reader takes them.
class BitOutput {
public:
    void Put(uint32_t value, unsigned bits)
    {
        if (bits == 0) return;
        buffer_ = (buffer_ << bits) | (value & ((1ull << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            bytes_.push_back(static_cast<uint8_t>(buffer_ >> count_));
        }
    }

    uint64_t BitCount() const { return bytes_.size() * 8 + count_; }

    // Pads the last byte with zero bits and hands the bytes over.
    std::vector<uint8_t> Finish()
    {
        if (count_ > 0) Put(0, 8 - count_);
        std::vector<uint8_t> bytes;
        bytes.swap(bytes_);
        buffer_ = 0;
        count_ = 0;
        return bytes;
    }

private:
    std::vector<uint8_t> bytes_;
    uint64_t buffer_ = 0;
    unsigned count_ = 0;
};
