#pragma once

#include <cstdint>

#include "engine/platform/ResourceFile.h"

// Walks a loaded file byte by byte for the binary loaders. Reads never pass the data: a read that
// would go beyond the end copies what is there, fills the rest with zeros and marks the reader
// failed, so that a loader can reject a truncated file cleanly.
class ResourceReader {
public:
    void Open(const char* name);
    void Seek(uint32_t position) { position_ = position; }
    void Read(void* destination, uint32_t count);

    bool Loaded() const { return loaded_; }
    // True once any read went past the end of the data (or the load failed and a read was tried).
    bool Failed() const { return failed_; }
    uint32_t Position() const { return position_; }
    uint32_t Remaining() const;
    const ResourceFile& File() const { return file_; }

private:
    ResourceFile file_;
    bool loaded_ = false;
    uint32_t position_ = 0;
    bool failed_ = false;
};
