#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of an archive as its file header describes it.
struct RarEntryInfo {
    std::string name;
    uint32_t unpackedSize = 0;
    uint32_t packedSize = 0;
    uint32_t fileCrc = 0;
    uint8_t method = 0;
    uint8_t unpackVersion = 0;
    uint8_t hostOs = 0;
    uint16_t flags = 0;
    uint32_t fileTime = 0;
    uint32_t attributes = 0;
    bool solid = false;  // the entry goes on from the one before it
    bool headerCrcMatches = false;
};

// The file entries of an archive, in the order the reader walks them; false when the file is not
// an archive the reader handles.
bool RarListEntries(const char* archive, std::vector<RarEntryInfo>& entries, bool& archiveSolid);
