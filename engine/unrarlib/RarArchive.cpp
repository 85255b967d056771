#include "engine/unrarlib/RarArchive.h"

#include <cstring>

#include "engine/unrarlib/ArchiveStream.h"
#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarDebugLog.h"

namespace {

uint16_t ReadU16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t ReadU32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

char NameKey(char c)
{
    if (c == '\\' || c == '/') return '_';
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c;
}

bool CheckMarker(ArchiveStream& stream, const RarDebugLog& log, uint8_t (&mainHeader)[rar::kMainHeaderSize])
{
    uint8_t marker[7];
    if (stream.Read(marker, sizeof(marker)) != sizeof(marker)) return false;
    if (std::memcmp(marker, rar::kMarker, 7) == 0 || std::memcmp(marker, rar::kAltMarker, 7) == 0)
        return stream.Read(mainHeader, rar::kMainHeaderSize) == rar::kMainHeaderSize;
    if (std::memcmp(marker, rar::kOldMarker, 4) == 0) {
        RAR_LOG(log, "Attention: format as OLD detected! Can't handel archive!");
    } else {
        RAR_LOG(log, "unknown archive type (only plain RAR supported (normal and solid archives), SFX and Volumes "
                     "are NOT supported!)");
    }
    return false;
}

}  // namespace

bool ReadArchiveStart(ArchiveStream& stream, const RarDebugLog& log, RarArchiveStart& start)
{
    uint8_t mainHeader[rar::kMainHeaderSize];
    if (!CheckMarker(stream, log, mainHeader)) {
        RAR_LOG(log, "Not a RAR file");
        return false;
    }
    const uint16_t flags = ReadU16(mainHeader + 3);
    const uint16_t headerSize = ReadU16(mainHeader + 5);
    start.solid = (flags & rar::kMainSolid) != 0;
    // A main header that claims fewer than its 13 bytes has still been read whole.
    start.firstBlock = 7 + (headerSize > rar::kMainHeaderSize ? headerSize : rar::kMainHeaderSize);
    return true;
}

RarBlockKind ReadBlock(ArchiveStream& stream, uint64_t position, const RarDebugLog& log, RarBlockHeader& block)
{
    block = RarBlockHeader{};
    block.start = position;
    uint8_t raw[rar::kFileHeaderFixedSize];
    if (!stream.Seek(position) || stream.Read(raw, sizeof(raw)) != sizeof(raw)) return RarBlockKind::End;
    block.headerCrc = ReadU16(raw);
    block.type = raw[2];
    block.flags = ReadU16(raw + 3);
    block.headerSize = ReadU16(raw + 5);
    block.packedSize = ReadU32(raw + 7);
    block.unpackedSize = ReadU32(raw + 11);
    block.hostOs = raw[15];
    block.fileCrc = ReadU32(raw + 16);
    block.fileTime = ReadU32(raw + 20);
    block.unpackVersion = raw[24];
    block.method = raw[25];
    block.nameSize = ReadU16(raw + 26);
    block.attributes = ReadU32(raw + 28);
    if (block.headerSize < rar::kMinBlockHeaderSize) return RarBlockKind::End;
    block.dataStart = position + block.headerSize;
    block.nextBlock = block.dataStart;
    if (block.flags & rar::kLongBlock) block.nextBlock += block.packedSize;
    if (block.nextBlock <= position) return RarBlockKind::End;
    if (block.type == rar::kSubBlockType) return RarBlockKind::SubBlock;
    if (block.type != rar::kFileHeaderType) return RarBlockKind::Other;

    const uint32_t nameLength = block.nameSize < rar::kMaxNameLength ? block.nameSize : rar::kMaxNameLength;
    if (stream.Read(block.name, nameLength) != nameLength) return RarBlockKind::End;
    block.name[nameLength] = '\0';
    uint32_t crc = Crc32Update(0xFFFFFFFFu, raw + 2, sizeof(raw) - 2);
    crc = ~Crc32Update(crc, block.name, nameLength);
    block.headerCrcMatches = (crc & 0xFFFF) == block.headerCrc;
    if (!block.headerCrcMatches) RAR_LOG(log, "file header broken");
    return RarBlockKind::File;
}

bool RarNamesMatch(const char* entryName, const char* requestedName)
{
    for (;; ++entryName, ++requestedName) {
        if (NameKey(*entryName) != NameKey(*requestedName)) return false;
        if (*entryName == '\0') return true;
    }
}
