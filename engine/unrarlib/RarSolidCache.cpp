#include "engine/unrarlib/RarSolidCache.h"

#include <algorithm>
#include <new>

#ifndef _WIN32
#include <sys/stat.h>
#endif

bool ReadArchiveIdentity(int fileDescriptor, RarArchiveIdentity& identity)
{
#ifdef _WIN32
    (void)fileDescriptor;
    (void)identity;
    return false;
#else
    struct stat info {};
    if (fstat(fileDescriptor, &info) != 0) return false;
    identity.device = static_cast<uint64_t>(info.st_dev);
    identity.inode = static_cast<uint64_t>(info.st_ino);
    identity.size = static_cast<uint64_t>(info.st_size);
    identity.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
#endif
}

void RarSolidCache::Use(const RarArchiveIdentity& identity)
{
    if (known_ && identity_ == identity) return;
    checkpoints_.clear();
    identity_ = identity;
    known_ = true;
}

const RarCheckpoint* RarSolidCache::Before(uint64_t block) const
{
    const RarCheckpoint* best = nullptr;
    for (const RarCheckpoint& checkpoint : checkpoints_) {
        if (checkpoint.nextBlock <= block) best = &checkpoint;
    }
    return best;
}

void RarSolidCache::Add(uint64_t nextBlock, const Rar20Decoder& current)
{
    const auto at = std::lower_bound(checkpoints_.begin(), checkpoints_.end(), nextBlock,
                                     [](const RarCheckpoint& c, uint64_t block) { return c.nextBlock < block; });
    if (at != checkpoints_.end() && at->nextBlock == nextBlock) return;
    std::unique_ptr<Rar20Decoder> copy(new (std::nothrow) Rar20Decoder);
    if (!copy || !copy->CopyFrom(current)) return;
    checkpoints_.insert(at, RarCheckpoint{nextBlock, std::move(copy)});
    if (checkpoints_.size() <= kMaxCheckpoints) return;
    // Thinning keeps the newest, which the next request in order goes on from.
    std::vector<RarCheckpoint> kept;
    for (size_t i = checkpoints_.size() % 2; i < checkpoints_.size(); i += 2) kept.push_back(std::move(checkpoints_[i]));
    checkpoints_ = std::move(kept);
}
