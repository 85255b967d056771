#include "engine/unrarlib/RarExtract.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "engine/unrarlib/ArchiveStream.h"
#include "engine/unrarlib/RarDebugLog.h"
#include "engine/unrarlib/RarExtractor.h"
#include "engine/unrarlib/RarSolidCache.h"

namespace {

// The reader's process-wide state: the debug log, started by the first extraction, and the
// decoder kept from the last solid extraction. The mutex lets one extraction run at a time.
struct ReaderState {
    std::mutex mutex;
    RarDebugLog log;
    RarSolidCache cache;
};

ReaderState& State()
{
    static ReaderState state;
    return state;
}

int Extract(ReaderState& state, ArchiveStream& stream, char** output, unsigned long* size, const char* name,
            const RarArchiveIdentity* identity, const char* password)
{
    uint8_t* data = nullptr;
    uint32_t length = 0;
    RarExtractor extractor(state.log, &state.cache, identity);
    if (extractor.Run(stream, name, password, data, length)) {
        RAR_LOGF(state.log, "Extracted %u Bytes.", length);
        *output = reinterpret_cast<char*>(data);
        *size = length;
        return 1;
    }
    RAR_LOGF(state.log, "Error - couldn't extract >%s< and allocated %u Bytes of unused memory!", name, length);
    return 0;
}

bool BeginExtraction(ReaderState& state, char** output, unsigned long* size, const char* name,
                     const char* archiveName, const char* password)
{
    if (!state.log.Started()) state.log.Start(RarDebugLog::DefaultFolder());
    if (output == nullptr || size == nullptr) return false;
    *output = nullptr;
    *size = 0;
    if (name == nullptr || archiveName == nullptr) return false;
    RAR_LOGF(state.log, "Extracting >%s< from >%s< (password is >%s<)...", name, archiveName,
             password != nullptr ? password : "");
    return true;
}

}  // namespace

int RarExtract(char** output, unsigned long* size, const char* name, const char* archive, const char* password)
{
    ReaderState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!BeginExtraction(state, output, size, name, archive, password)) return 0;
    ArchiveStream stream;
    if (!stream.OpenFile(archive)) {
        RAR_LOG(state.log, "Error opening file.");
        RAR_LOGF(state.log, "Error - couldn't extract >%s< and allocated %u Bytes of unused memory!", name, 0u);
        return 0;
    }
    RarArchiveIdentity identity;
    const bool known = ReadArchiveIdentity(stream.FileDescriptor(), identity);
    return Extract(state, stream, output, size, name, known ? &identity : nullptr, password);
}

int RarExtractFromMemory(char** output, unsigned long* size, const char* name, const void* archive,
                         size_t archiveLength, const char* password)
{
    ReaderState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!BeginExtraction(state, output, size, name, "(memory)", password)) return 0;
    if (archive == nullptr && archiveLength != 0) return 0;
    ArchiveStream stream;
    stream.OpenMemory(archive, archiveLength);
    return Extract(state, stream, output, size, name, nullptr, password);
}
