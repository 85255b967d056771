#pragma once

#include <cstdint>

// The archive that every load reads from; null means the disk. Set once by program entry before
// anything is loaded.
extern const char* ArchivePath;

// One data file read whole into memory, from the archive while ArchivePath is set or else from
// the disk. The bytes are followed by one NUL that Size does not count, so a text file can be
// handed to string routines as it is.
class ResourceFile {
public:
    ResourceFile() = default;
    ~ResourceFile();
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    // Loads once: a second Load, whatever the name, returns true and keeps the first file.
    // A failed load leaves Data null and Size 0.
    bool Load(const char* name);

    const uint8_t* Data() const { return data_; }
    uint32_t Size() const { return size_; }
    const char* Name() const { return name_; }

private:
    bool LoadFromDisk();
    bool LoadFromArchive();
    void Release();

    uint8_t* data_ = nullptr;   // malloc'd, size_ + 1 bytes
    char* name_ = nullptr;      // private copy of the name given to Load
    const char* archive_ = nullptr;
    uint32_t size_ = 0;
};
