#include "engine/unrarlib/RarDirectory.h"

#include "engine/unrarlib/ArchiveStream.h"
#include "engine/unrarlib/RarArchive.h"
#include "engine/unrarlib/RarDebugLog.h"

bool RarListEntries(const char* archive, std::vector<RarEntryInfo>& entries, bool& archiveSolid)
{
    entries.clear();
    archiveSolid = false;
    ArchiveStream stream;
    if (!stream.OpenFile(archive)) return false;
    const RarDebugLog quiet;
    RarArchiveStart start;
    if (!ReadArchiveStart(stream, quiet, start)) return false;
    archiveSolid = start.solid;
    RarBlockHeader block;
    for (uint64_t position = start.firstBlock;; position = block.nextBlock) {
        const RarBlockKind kind = ReadBlock(stream, position, quiet, block);
        if (kind == RarBlockKind::End || kind == RarBlockKind::SubBlock) break;
        if (kind != RarBlockKind::File) continue;
        RarEntryInfo info;
        info.name = block.name;
        info.unpackedSize = block.unpackedSize;
        info.packedSize = block.packedSize;
        info.fileCrc = block.fileCrc;
        info.method = block.method;
        info.unpackVersion = block.unpackVersion;
        info.hostOs = block.hostOs;
        info.flags = block.flags;
        info.fileTime = block.fileTime;
        info.attributes = block.attributes;
        info.solid = (block.flags & 0x0010) != 0;
        info.headerCrcMatches = block.headerCrcMatches;
        entries.push_back(info);
    }
    return true;
}
