#include "engine/unrarlib/BitInput.h"

#include "engine/unrarlib/ArchiveStream.h"

BitInput::BitInput(ArchiveStream& stream, uint64_t packedSize)
    : stream_(stream), unread_(packedSize), packedBits_(packedSize * 8), next_(chunk_), end_(chunk_)
{
}

void BitInput::FillChunk()
{
    size_t want = kChunkSize;
    if (want > unread_) want = static_cast<size_t>(unread_);
    const size_t got = want == 0 ? 0 : stream_.Read(chunk_, want);
    read_ += got;
    if (got != want) {
        // A file that ends early reads as an entry whose data ran out where the file did.
        unread_ = 0;
        packedBits_ = read_ * 8;
    } else {
        unread_ -= got;
    }
    next_ = chunk_;
    end_ = chunk_ + got;
}

void BitInput::RefillSlowly()
{
    while (count_ <= 56) {
        if (next_ == end_) FillChunk();
        uint64_t byte = 0;
        if (next_ != end_) byte = *next_++;
        buffer_ |= byte << (56 - count_);
        count_ += 8;
        ++loaded_;
    }
}
