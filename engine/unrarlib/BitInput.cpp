#include "engine/unrarlib/BitInput.h"

#include "engine/unrarlib/ArchiveStream.h"

BitInput::BitInput(ArchiveStream& stream, uint64_t packedSize)
    : stream_(stream), unread_(packedSize), packedBits_(packedSize * 8)
{
    cursor_.next = chunk_;
    cursor_.end = chunk_;
}

void BitInput::FillChunk()
{
    size_t want = kChunkSize;
    if (want > unread_) want = static_cast<size_t>(unread_);
    const size_t got = want == 0 ? 0 : stream_.Read(chunk_, want);
    chunkStart_ = read_;
    read_ += got;
    if (got != want) {
        // A file that ends early reads as an entry whose data ran out where the file did.
        unread_ = 0;
        packedBits_ = read_ * 8;
    } else {
        unread_ -= got;
    }
    cursor_.next = chunk_;
    cursor_.end = chunk_ + got;
}

void BitInput::RefillSlowly()
{
    while (cursor_.count < 56) {
        if (cursor_.next == cursor_.end) FillChunk();
        uint64_t byte = 0;
        if (cursor_.next != cursor_.end) {
            byte = *cursor_.next++;
        } else {
            ++padding_;
        }
        cursor_.buffer |= byte << (56 - cursor_.count);
        cursor_.count += 8;
    }
}

