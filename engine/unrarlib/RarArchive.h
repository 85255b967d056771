#pragma once

#include <cstdint>

#include "engine/unrarlib/RarFormat.h"

class ArchiveStream;
class RarDebugLog;

// What the start of an archive says: whether it is solid and where its first block begins.
struct RarArchiveStart {
    bool solid = false;
    uint64_t firstBlock = 0;
};

// One block header read in the layout of a file header; only file headers fill the fields past
// the common part, the rest are skipped by nextBlock.
struct RarBlockHeader {
    uint16_t headerCrc = 0;
    uint8_t type = 0;
    uint16_t flags = 0;
    uint16_t headerSize = 0;
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint8_t hostOs = 0;
    uint32_t fileCrc = 0;
    uint32_t fileTime = 0;
    uint8_t unpackVersion = 0;
    uint8_t method = 0;
    uint16_t nameSize = 0;
    uint32_t attributes = 0;
    char name[rar::kMaxNameLength + 1] = {};
    bool headerCrcMatches = false;
    uint64_t start = 0;
    uint64_t dataStart = 0;  // first byte of the packed data
    uint64_t nextBlock = 0;
};

enum class RarBlockKind { File, SubBlock, Other, End };

// Checks the marker and reads the main header; logs why and returns false when the stream is no
// archive this reader handles.
bool ReadArchiveStart(ArchiveStream& stream, const RarDebugLog& log, RarArchiveStart& start);

// Reads the block at position. End covers a short read, a header too small to be one, and a block
// whose end would not lie beyond its start. A file header whose CRC does not match is logged and
// reported all the same.
RarBlockKind ReadBlock(ArchiveStream& stream, uint64_t position, const RarDebugLog& log, RarBlockHeader& block);

// True when an entry name and a requested name match: case is ignored, and `\` and `/` both count
// as `_`.
bool RarNamesMatch(const char* entryName, const char* requestedName);
