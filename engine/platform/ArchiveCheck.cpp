#include "engine/platform/ArchiveCheck.h"

#include <cstdlib>
#include <vector>

#include "engine/unrarlib/RarDirectory.h"
#include "engine/unrarlib/RarExtract.h"

namespace {

bool Fail(std::string* problem, const std::string& text)
{
    if (problem != nullptr) *problem = text;
    return false;
}

// Extraction checks the CRC of what it decodes; the header's own CRC is checked by the listing.
bool EntryIsIntact(const char* archive, const RarEntryInfo& entry)
{
    if (!entry.headerCrcMatches) return false;
    char* data = nullptr;
    unsigned long size = 0;
    const bool extracted = RarExtract(&data, &size, entry.name.c_str(), archive, nullptr) != 0;
    std::free(data);
    return extracted && size == entry.unpackedSize;
}

}  // namespace

bool ArchiveCheck::Verify(const char* archive, std::string* problem)
{
    if (archive == nullptr) return Fail(problem, "no archive named");
    std::vector<RarEntryInfo> entries;
    bool solid = false;
    if (!RarListEntries(archive, entries, solid)) return Fail(problem, "is not a readable archive");
    if (entries.empty()) return Fail(problem, "holds no files");
    for (const RarEntryInfo& entry : entries) {
        if (!EntryIsIntact(archive, entry)) return Fail(problem, "is damaged: \"" + entry.name + "\" fails its check");
    }
    if (problem != nullptr) problem->clear();
    return true;
}
