#include "tools/rarwriter/RarWriter.h"

#include <cstdio>
#include <ctime>

#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarFormat.h"
#include "tools/LittleEndian.h"

namespace {

// Fills in the CRC of a header that starts at start and runs to the end of out.
void SealHeader(std::vector<uint8_t>& out, size_t start)
{
    const uint32_t crc = Crc32(out.data() + start + 2, out.size() - start - 2);
    out[start] = static_cast<uint8_t>(crc);
    out[start + 1] = static_cast<uint8_t>(crc >> 8);
}

}  // namespace

RarWriter::RarWriter() : RarWriter(Options{}) {}

RarWriter::RarWriter(const Options& options) : options_(options), encoder_(options.encoder)
{
    WriteMainHeader();
}

void RarWriter::WriteMainHeader()
{
    bytes_.assign(std::begin(rar::kMarker), std::end(rar::kMarker));
    const size_t start = bytes_.size();
    PutU16(bytes_, 0);
    bytes_.push_back(rar::kMainHeaderType);
    PutU16(bytes_, options_.solid ? rar::kMainSolid : 0);
    PutU16(bytes_, rar::kMainHeaderSize);
    PutU16(bytes_, 0);
    PutU32(bytes_, 0);
    SealHeader(bytes_, start);
}

uint32_t RarWriter::DosTime(int64_t unixSeconds)
{
    const std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr || local.tm_year < 80) return (1u << 21) | (1u << 16);
    return static_cast<uint32_t>(local.tm_year - 80) << 25 | static_cast<uint32_t>(local.tm_mon + 1) << 21 |
           static_cast<uint32_t>(local.tm_mday) << 16 | static_cast<uint32_t>(local.tm_hour) << 11 |
           static_cast<uint32_t>(local.tm_min) << 5 | static_cast<uint32_t>(local.tm_sec / 2);
}

bool RarWriter::Add(const std::string& name, std::span<const uint8_t> data, uint32_t dosTime, uint32_t attributes)
{
    const size_t fixed = rar::kFileHeaderFixedSize;
    if (name.empty() || name.size() > 0xFFFF - fixed || data.size() > 0xFFFFFFFFu) return false;
    if (dosTime == 0) dosTime = DosTime(static_cast<int64_t>(std::time(nullptr)));

    Entry entry;
    entry.name = name;
    entry.unpackedSize = static_cast<uint32_t>(data.size());
    entry.crc = Crc32(data.data(), data.size());
    std::vector<uint8_t> packed;
    entry.method = rar::kMethodStored;
    if (!options_.store) {
        entry.solid = options_.solid && encoder_.CanContinue();
        packed = encoder_.Encode(data, entry.solid, &entry.audio);
        entry.method = kMethodNormal;
        // A stored entry does not enter the reader's window, so a solid archive keeps the packed
        // form even where it is larger.
        if (!options_.solid && packed.size() >= data.size()) {
            entry.method = rar::kMethodStored;
            entry.audio = false;
        }
    }
    if (entry.method == rar::kMethodStored) packed.assign(data.begin(), data.end());
    if (packed.size() > 0xFFFFFFFFu) return false;
    entry.packedSize = static_cast<uint32_t>(packed.size());

    const size_t start = bytes_.size();
    PutU16(bytes_, 0);
    bytes_.push_back(rar::kFileHeaderType);
    PutU16(bytes_, rar::kLongBlock | rar::kFileWindow1024 | (entry.solid ? rar::kFileSolid : 0));
    PutU16(bytes_, static_cast<uint32_t>(fixed + name.size()));
    PutU32(bytes_, entry.packedSize);
    PutU32(bytes_, entry.unpackedSize);
    bytes_.push_back(kHostUnix);
    PutU32(bytes_, entry.crc);
    PutU32(bytes_, dosTime);
    bytes_.push_back(rar::kMaxUnpackVersion);
    bytes_.push_back(entry.method);
    PutU16(bytes_, static_cast<uint32_t>(name.size()));
    PutU32(bytes_, attributes);
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    SealHeader(bytes_, start);
    bytes_.insert(bytes_.end(), packed.begin(), packed.end());
    entries_.push_back(entry);
    return true;
}

bool RarWriter::WriteFile(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    return std::fclose(file) == 0 && written;
}
