#include "engine/platform/WavFile.h"

#include "engine/platform/DiskFile.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kMinFormatBytes = 16;
constexpr size_t kExtensibleFormatBytes = 40;
constexpr size_t kSubFormatOffset = 24;

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct ChunkSpan {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool found = false;
    bool cutShort = false;
};

struct WaveChunks {
    ChunkSpan format;
    ChunkSpan sound;
};

// Walks the chunks after the RIFF header; a chunk that runs past the end of the file is cut to
// what is there and ends the walk.
WaveChunks FindChunks(const uint8_t* data, size_t size)
{
    WaveChunks chunks;
    size_t offset = 12;
    while (size - offset >= kChunkHeaderBytes) {
        const uint8_t* header = data + offset;
        const uint64_t declared = ReadU32(header + 4);
        const size_t body = offset + kChunkHeaderBytes;
        const size_t available = size - body;
        ChunkSpan span{data + body, declared > available ? available : static_cast<size_t>(declared), true,
                       declared > available};
        if (std::memcmp(header, "fmt ", 4) == 0 && !chunks.format.found) chunks.format = span;
        if (std::memcmp(header, "data", 4) == 0 && !chunks.sound.found) chunks.sound = span;
        if (span.cutShort) break;
        const uint64_t next = body + declared + (declared & 1);
        if (next >= size) break;
        offset = static_cast<size_t>(next);
    }
    return chunks;
}

bool ReadFormat(const ChunkSpan& chunk, WavFile* out)
{
    if (!chunk.found || chunk.size < kMinFormatBytes) return false;
    const uint8_t* p = chunk.data;
    uint16_t tag = ReadU16(p);
    if (tag == kFormatExtensible) {
        if (chunk.size < kExtensibleFormatBytes) return false;
        tag = ReadU16(p + kSubFormatOffset);
    }
    if (tag != kFormatPcm) return false;
    const uint16_t channels = ReadU16(p + 2);
    const uint32_t rate = ReadU32(p + 4);
    const uint16_t bits = ReadU16(p + 14);
    if (channels < 1 || channels > 2) return false;
    if (bits != 8 && bits != 16) return false;
    if (rate < WavFile::kMinSampleRate || rate > WavFile::kMaxSampleRate) return false;
    out->channels = channels;
    out->bitsPerSample = bits;
    out->sampleRate = static_cast<int>(rate);
    return true;
}

}  // namespace

bool WavFile::Parse(const uint8_t* data, size_t size, WavFile* out)
{
    if (data == nullptr || out == nullptr || size < 12) return false;
    if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return false;
    const WaveChunks chunks = FindChunks(data, size);
    WavFile wav;
    if (!ReadFormat(chunks.format, &wav) || !chunks.sound.found) return false;
    const size_t frames = chunks.sound.size / wav.BytesPerFrame();
    if (frames == 0) return false;
    wav.pcm.assign(chunks.sound.data, chunks.sound.data + frames * wav.BytesPerFrame());
    *out = std::move(wav);
    return true;
}

bool WavFile::Load(const char* path, WavFile* out)
{
    std::vector<uint8_t> bytes;
    return ReadDiskFile(path, kMaxFileBytes, &bytes) && Parse(bytes.data(), bytes.size(), out);
}
