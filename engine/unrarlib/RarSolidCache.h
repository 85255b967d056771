#pragma once

#include <cstdint>
#include <memory>

#include "engine/unrarlib/Rar20Decoder.h"

// Which archive file a cached decoder belongs to: the file itself and the version of it.
struct RarArchiveIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0;

    bool operator==(const RarArchiveIdentity&) const = default;
};

// The decoder as the last extraction left it, kept so that its window is allocated once. When
// that extraction read a solid archive, valid is set along with the block that follows the entry
// it ended on: a later request for an entry further on goes on from there instead of decoding the
// archive from its first entry again.
struct RarSolidCache {
    bool valid = false;
    RarArchiveIdentity identity;
    uint64_t nextBlock = 0;
    std::unique_ptr<Rar20Decoder> decoder;
};

// Fills identity from an open file; false when the system cannot tell.
bool ReadArchiveIdentity(int fileDescriptor, RarArchiveIdentity& identity);
