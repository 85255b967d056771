#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarExtract.h"
#include "tools/rarwriter/RarWriter.h"

// Helpers shared by the archive tests: sample data and extraction from memory.
namespace archive_test {

using Bytes = std::vector<uint8_t>;

struct Extraction {
    bool ok = false;
    Bytes bytes;
    bool terminated = false;  // the byte behind the data is NUL
};

// Takes over what an extraction gave back, checking the contract on the way.
inline Extraction Took(int ok, char* data, unsigned long size)
{
    Extraction result;
    result.ok = ok != 0;
    if (result.ok && data != nullptr) {
        result.bytes.assign(data, data + size);
        result.terminated = data[size] == '\0';
    }
    if (!result.ok) result.terminated = data == nullptr && size == 0;  // the failure contract
    std::free(data);
    return result;
}

inline Extraction ExtractFromMemory(const Bytes& archive, const std::string& name)
{
    char* data = nullptr;
    unsigned long size = 77;
    const int ok = RarExtractFromMemory(&data, &size, name.c_str(), archive.data(), archive.size(), nullptr);
    return Took(ok, data, size);
}

inline Extraction ExtractFromFile(const std::string& archive, const std::string& name, const char* password = nullptr)
{
    char* data = nullptr;
    unsigned long size = 77;
    const int ok = RarExtract(&data, &size, name.c_str(), archive.c_str(), password);
    return Took(ok, data, size);
}

inline RarWriter::Options Packing(bool store, bool solid)
{
    RarWriter::Options options;
    options.store = store;
    options.solid = solid;
    return options;
}

inline Bytes RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

inline Bytes TextBytes(size_t size, uint32_t seed)
{
    static const char* const kWords[] = {"the ", "ship ", "fires ", "at ", "every ", "enemy ", "door ",
                                         "boss ", "level ", "scroll ", "light ", "glow ", "\n", "sentinel, "};
    std::mt19937 random(seed);
    Bytes bytes;
    while (bytes.size() < size) {
        const char* word = kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
        for (const char* c = word; *c != '\0' && bytes.size() < size; ++c) bytes.push_back(static_cast<uint8_t>(*c));
    }
    return bytes;
}

// Interleaved sine waves: channels of bytesPerSample-byte little-endian samples.
inline Bytes SampleBytes(size_t frames, int channels, int bytesPerSample, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes;
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            const double phase = static_cast<double>(frame) * (0.01 + 0.003 * channel);
            const double noise = static_cast<double>(random() % 7) - 3.0;
            if (bytesPerSample == 1) {
                bytes.push_back(static_cast<uint8_t>(128 + 100 * __builtin_sin(phase) + noise));
            } else {
                const int16_t sample = static_cast<int16_t>(20000 * __builtin_sin(phase) + noise * 16);
                bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
                bytes.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
            }
        }
    }
    return bytes;
}

// Recomputes the CRC of the file header at start after a test has changed its fields.
inline void ResealHeader(Bytes& archive, size_t start)
{
    const size_t headerSize = archive[start + 5] | archive[start + 6] << 8;
    const uint32_t crc = ~Crc32Update(0xFFFFFFFFu, archive.data() + start + 2, headerSize - 2);
    archive[start] = static_cast<uint8_t>(crc);
    archive[start + 1] = static_cast<uint8_t>(crc >> 8);
}

inline void PutU32At(Bytes& archive, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) archive[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Where the first file header of an archive from RarWriter starts: after the marker and the main header.
constexpr size_t kFirstHeader = 7 + 13;

}  // namespace archive_test
