#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/unrarlib/Rar20Decoder.h"

// Which archive file a cached decoder belongs to: the file itself and the version of it.
struct RarArchiveIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;

    bool operator==(const RarArchiveIdentity&) const = default;
};

// A decoder as it stood after the entries of a solid archive up to nextBlock.
struct RarCheckpoint {
    uint64_t nextBlock = 0;
    std::unique_ptr<Rar20Decoder> decoder;
};

// What extractions keep between calls: the working decoder, so that its window is allocated once,
// and for the last solid archive read, copies of the decoder at a few entry boundaries. A request
// for an entry goes on from the last copy before it instead of decoding the archive from its first
// entry again; the result is the same, only the time differs.
class RarSolidCache {
public:
    static constexpr size_t kMaxCheckpoints = 8;
    static constexpr uint64_t kCheckpointSpacing = 1u << 20;  // decoded bytes between checkpoints

    // Forgets the checkpoints unless they belong to this archive.
    void Use(const RarArchiveIdentity& identity);
    // The last checkpoint at or before block, or null.
    const RarCheckpoint* Before(uint64_t block) const;
    // Keeps a copy of current as it stands at nextBlock; when full, every other checkpoint goes.
    void Add(uint64_t nextBlock, const Rar20Decoder& current);
    size_t Count() const { return checkpoints_.size(); }

    std::unique_ptr<Rar20Decoder> decoder;  // the working decoder between extractions

private:
    bool known_ = false;
    RarArchiveIdentity identity_;
    std::vector<RarCheckpoint> checkpoints_;  // by nextBlock
};

// Fills identity from an open file; false when the system cannot tell.
bool ReadArchiveIdentity(int fileDescriptor, RarArchiveIdentity& identity);
