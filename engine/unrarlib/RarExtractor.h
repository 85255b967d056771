#pragma once

#include <cstdint>

#include "engine/unrarlib/RarArchive.h"
#include "engine/unrarlib/RarSolidCache.h"

class ArchiveStream;
class BitInput;
class RarDebugLog;

// One extraction: walks the blocks of an open archive to the entry asked for and decodes it,
// passing every earlier entry of a solid archive through the decoder on the way.
class RarExtractor {
public:
    // cache may be null; identity, when given, names the archive file so that a solid archive can
    // go on from a checkpoint kept by an earlier extraction.
    RarExtractor(const RarDebugLog& log, RarSolidCache* cache, const RarArchiveIdentity* identity);

    // On success output is a malloc'd block holding size bytes and a NUL behind them.
    bool Run(ArchiveStream& stream, const char* name, const char* password, uint8_t*& output, uint32_t& size);

private:
    bool Walk(ArchiveStream& stream, const char* name, const char* password, uint8_t*& output, uint32_t& size);
    bool PrepareDecoder(ArchiveStream& stream, const RarArchiveStart& start, const char* name, uint64_t& position);
    bool KeepsCheckpoints(const RarArchiveStart& start) const;
    // Where the first entry answering to name starts, or UINT64_MAX when none does.
    uint64_t FirstMatch(ArchiveStream& stream, const RarArchiveStart& start, const char* name) const;
    bool AcceptEntry(const RarBlockHeader& block, const char* password) const;
    bool Decode(ArchiveStream& stream, const RarBlockHeader& block, uint8_t* output);
    bool ExtractFound(ArchiveStream& stream, const RarBlockHeader& block, const char* password, uint8_t*& output);
    bool PassThrough(ArchiveStream& stream, const RarBlockHeader& block, const char* password);

    const RarDebugLog& log_;
    RarSolidCache* cache_;
    const RarArchiveIdentity* identity_;
    std::unique_ptr<Rar20Decoder> decoder_;
};
