#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Hash chains over a byte buffer: for a position, the earlier positions that start with the same
// three bytes, newest first, back to the format's 1 MB window. A second table remembers the last
// position of every byte pair, for the two-byte matches at short distances.
class MatchFinder {
public:
    struct Match {
        uint32_t length = 0;
        uint32_t distance = 0;
    };

    // The search stops at the first match of niceLength bytes or more.
    MatchFinder(const uint8_t* data, size_t size, int maxChain, uint32_t niceLength = 96);

    // Positions must be inserted in increasing order.
    void Insert(size_t position);
    // The longest match at position among the chained candidates. minLength(distance) is the
    // shortest length the format can code at that distance.
    Match Longest(size_t position, uint32_t maxLength) const;
    // Every candidate longer than the ones nearer to position: lengths rise as distances do.
    void Matches(size_t position, uint32_t maxLength, std::vector<Match>& matches) const;
    // The nearest earlier occurrence of the two bytes at position, or distance 0.
    uint32_t PairDistance(size_t position) const;
    uint32_t MatchLength(size_t position, uint32_t distance, uint32_t maxLength) const;

private:
    static constexpr int kHashBits = 17;
    static constexpr uint32_t kGoodLength = 32;
    static uint32_t Hash(const uint8_t* p)
    {
        const uint32_t v = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const uint8_t* data_;
    size_t size_;
    int maxChain_;
    uint32_t niceLength_;
    std::vector<uint32_t> head_;  // position + 1 of the newest entry per hash; 0 = none
    std::vector<uint32_t> prev_;  // per window slot, position + 1 of the entry before
    std::vector<uint32_t> pairs_;
};
