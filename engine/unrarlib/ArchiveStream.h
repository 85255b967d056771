#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The bytes of one archive, read from an open file or from a block of memory. Reads never go
// past the end; a read there returns fewer bytes.
class ArchiveStream {
public:
    ArchiveStream() = default;
    ~ArchiveStream();
    ArchiveStream(const ArchiveStream&) = delete;
    ArchiveStream& operator=(const ArchiveStream&) = delete;

    bool OpenFile(const char* path);
    void OpenMemory(const void* data, size_t length);
    void Close();

    size_t Read(void* destination, size_t count);
    bool Seek(uint64_t position);
    uint64_t Position() const { return position_; }
    uint64_t Length() const { return length_; }
    // The descriptor of the open file, or -1 for memory.
    int FileDescriptor() const;

private:
    std::FILE* file_ = nullptr;
    const uint8_t* memory_ = nullptr;
    uint64_t length_ = 0;
    uint64_t position_ = 0;
};
