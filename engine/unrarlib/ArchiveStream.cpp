#include "engine/unrarlib/ArchiveStream.h"

#include <cstring>

#ifndef _WIN32
#include <stdio.h>
#endif

ArchiveStream::~ArchiveStream()
{
    Close();
}

bool ArchiveStream::OpenFile(const char* path)
{
    Close();
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    const long end = std::ftell(file_);
    if (end < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        Close();
        return false;
    }
    length_ = static_cast<uint64_t>(end);
    return true;
}

void ArchiveStream::OpenMemory(const void* data, size_t length)
{
    Close();
    memory_ = static_cast<const uint8_t*>(data);
    length_ = length;
}

void ArchiveStream::Close()
{
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    memory_ = nullptr;
    length_ = 0;
    position_ = 0;
}

size_t ArchiveStream::Read(void* destination, size_t count)
{
    if (position_ >= length_) return 0;
    const uint64_t left = length_ - position_;
    if (count > left) count = static_cast<size_t>(left);
    size_t got = 0;
    if (memory_ != nullptr) {
        std::memcpy(destination, memory_ + position_, count);
        got = count;
    } else if (file_ != nullptr) {
        got = std::fread(destination, 1, count, file_);
    }
    position_ += got;
    return got;
}

bool ArchiveStream::Seek(uint64_t position)
{
    if (position > length_) return false;
    if (file_ != nullptr && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) return false;
    position_ = position;
    return true;
}

int ArchiveStream::FileDescriptor() const
{
#ifdef _WIN32
    return -1;
#else
    return file_ != nullptr ? fileno(file_) : -1;
#endif
}
