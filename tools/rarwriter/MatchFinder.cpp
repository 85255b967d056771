#include "tools/rarwriter/MatchFinder.h"

#include "engine/unrarlib/RarFormat.h"

MatchFinder::MatchFinder(const uint8_t* data, size_t size, int maxChain, uint32_t niceLength)
    : data_(data), size_(size), maxChain_(maxChain), niceLength_(niceLength), head_(1u << kHashBits, 0), prev_(rar::kWindowSize, 0),
      pairs_(1u << 16, 0)
{
}

void MatchFinder::Insert(size_t position)
{
    if (position + 1 < size_) pairs_[uint32_t(data_[position]) << 8 | data_[position + 1]] = static_cast<uint32_t>(position + 1);
    if (position + 3 > size_) return;
    const uint32_t hash = Hash(data_ + position);
    prev_[position & rar::kWindowMask] = head_[hash];
    head_[hash] = static_cast<uint32_t>(position + 1);
}

uint32_t MatchFinder::MatchLength(size_t position, uint32_t distance, uint32_t maxLength) const
{
    if (distance == 0 || distance > position || distance > rar::kWindowSize) return 0;
    const size_t available = size_ - position;
    if (maxLength > available) maxLength = static_cast<uint32_t>(available);
    const uint8_t* a = data_ + position;
    const uint8_t* b = a - distance;
    uint32_t length = 0;
    while (length < maxLength && a[length] == b[length]) ++length;
    return length;
}

MatchFinder::Match MatchFinder::Longest(size_t position, uint32_t maxLength) const
{
    Match best;
    if (position + 3 > size_) return best;
    const size_t available = size_ - position;
    if (maxLength > available) maxLength = static_cast<uint32_t>(available);
    uint32_t candidate = head_[Hash(data_ + position)];
    for (int chain = 0; candidate != 0 && chain < maxChain_; ++chain) {
        const size_t earlier = candidate - 1;
        if (earlier >= position) break;
        const size_t distance = position - earlier;
        if (distance > rar::kWindowSize) break;
        const uint8_t* a = data_ + position;
        const uint8_t* b = data_ + earlier;
        if (b[best.length] == a[best.length] || best.length == 0) {
            uint32_t length = 0;
            while (length < maxLength && a[length] == b[length]) ++length;
            const uint32_t needed = 3 + rar::MatchLengthBonus(static_cast<uint32_t>(distance));
            if (length >= needed && length > best.length) {
                best.length = length;
                best.distance = static_cast<uint32_t>(distance);
                if (length == maxLength) break;
            }
        }
        const uint32_t next = prev_[earlier & rar::kWindowMask];
        if (next >= candidate) break;  // the slot was reused by a newer position
        candidate = next;
    }
    return best;
}

uint32_t MatchFinder::PairDistance(size_t position) const
{
    if (position + 2 > size_) return 0;
    const uint32_t last = pairs_[uint32_t(data_[position]) << 8 | data_[position + 1]];
    if (last == 0 || last - 1 >= position) return 0;
    return static_cast<uint32_t>(position - (last - 1));
}

void MatchFinder::Matches(size_t position, uint32_t maxLength, std::vector<Match>& matches) const
{
    matches.clear();
    if (position + 3 > size_) return;
    const size_t available = size_ - position;
    if (maxLength > available) maxLength = static_cast<uint32_t>(available);
    uint32_t best = 0;
    uint32_t candidate = head_[Hash(data_ + position)];
    int chainLimit = maxChain_;
    for (int chain = 0; candidate != 0 && chain < chainLimit; ++chain) {
        const size_t earlier = candidate - 1;
        if (earlier >= position) break;
        const size_t distance = position - earlier;
        if (distance > rar::kWindowSize) break;
        const uint8_t* a = data_ + position;
        const uint8_t* b = data_ + earlier;
        if (b[best] == a[best]) {
            uint32_t length = 0;
            while (length < maxLength && a[length] == b[length]) ++length;
            if (length > best && length >= 3 + rar::MatchLengthBonus(static_cast<uint32_t>(distance))) {
                best = length;
                matches.push_back({length, static_cast<uint32_t>(distance)});
                if (length >= niceLength_ || length == maxLength) break;
                // Once a good match is in hand, a longer one is rarely worth a long search.
                if (length >= kGoodLength) chainLimit = maxChain_ / 4;
            }
        }
        const uint32_t next = prev_[earlier & rar::kWindowMask];
        if (next >= candidate) break;
        candidate = next;
    }
}
