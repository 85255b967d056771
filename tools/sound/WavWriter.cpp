#include "tools/sound/WavWriter.h"

#include "tools/LittleEndian.h"

namespace {

constexpr uint32_t kFormatChunkBytes = 16;
constexpr uint32_t kPcm = 1;
constexpr uint32_t kBytesPerSample = 2;
constexpr uint32_t kHeaderBytesAfterSize = 36;  // "WAVE", the format chunk and the data chunk's head

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples, int channels, int rate)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * kBytesPerSample;
    const uint32_t frameBytes = static_cast<uint32_t>(channels) * kBytesPerSample;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, kHeaderBytesAfterSize + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, kFormatChunkBytes);
    PutU16(out, kPcm);
    PutU16(out, static_cast<uint32_t>(channels));
    PutU32(out, static_cast<uint32_t>(rate));
    PutU32(out, static_cast<uint32_t>(rate) * frameBytes);
    PutU16(out, frameBytes);
    PutU16(out, kBytesPerSample * 8);
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (int16_t value : samples) PutU16(out, static_cast<uint16_t>(value));
    return out;
}
