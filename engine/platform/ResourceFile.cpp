#include "engine/platform/ResourceFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/unrarlib/RarExtract.h"

const char* ArchivePath = nullptr;

namespace {
// Files larger than this are refused: no data file of the game comes near it, and the size
// must fit the record's 32-bit size with room for the terminating NUL.
constexpr long kMaxFileSize = 0x7FFFFFFF;
}

ResourceFile::~ResourceFile()
{
    Release();
}

void ResourceFile::Release()
{
    std::free(data_);
    delete[] name_;
    data_ = nullptr;
    name_ = nullptr;
    archive_ = nullptr;
    size_ = 0;
}

bool ResourceFile::Load(const char* name)
{
    if (data_ != nullptr) return true;
    Release();
    const size_t length = std::strlen(name);
    name_ = new char[length + 1];
    std::memcpy(name_, name, length + 1);
    archive_ = ArchivePath;
    if (archive_ != nullptr) return LoadFromArchive();
    return LoadFromDisk();
}

bool ResourceFile::LoadFromArchive()
{
    // The disk is never consulted here: a name missing from the archive is simply not found.
    char* data = nullptr;
    unsigned long size = 0;
    if (RarExtract(&data, &size, name_, archive_, nullptr) == 0 || data == nullptr) return false;
    // The reader hands back size + 1 bytes from malloc with the NUL already behind the data.
    data_ = reinterpret_cast<uint8_t*>(data);
    size_ = static_cast<uint32_t>(size);
    return true;
}

bool ResourceFile::LoadFromDisk()
{
    std::FILE* file = std::fopen(name_, "rb");
    if (file == nullptr) return false;
    long end = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) end = std::ftell(file);
    if (end < 0 || end > kMaxFileSize || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return false;
    }
    const size_t size = static_cast<size_t>(end);
    data_ = static_cast<uint8_t*>(std::malloc(size + 1));
    if (data_ == nullptr || std::fread(data_, 1, size, file) != size) {
        std::free(data_);
        data_ = nullptr;
        std::fclose(file);
        return false;
    }
    data_[size] = 0;
    size_ = static_cast<uint32_t>(size);
    std::fclose(file);
    return true;
}
