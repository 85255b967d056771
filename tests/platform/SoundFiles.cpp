#include "SoundFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tools/LittleEndian.h"

namespace {

void PutText(std::vector<uint8_t>& out, const char* text)
{
    while (*text != '\0') out.push_back(static_cast<uint8_t>(*text++));
}

void PutBigU16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

constexpr size_t kModHeaderBytes = 1084;
constexpr size_t kModPatternBytes = 64 * 4 * 4;
constexpr int kModPatterns = 4;
constexpr size_t kModSampleBytes = 64;
constexpr uint32_t kNoteC2Period = 428;

void PutModuleNote(uint8_t* cell, int sample, uint32_t period, int effect, int parameter)
{
    cell[0] = static_cast<uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
    cell[1] = static_cast<uint8_t>(period);
    cell[2] = static_cast<uint8_t>(((sample & 0x0F) << 4) | (effect & 0x0F));
    cell[3] = static_cast<uint8_t>(parameter);
}

}  // namespace

std::vector<uint8_t> MakeWav(int channels, int bitsPerSample, int sampleRate, const std::vector<int16_t>& samples)
{
    const uint32_t bytesPerSample = static_cast<uint32_t>(bitsPerSample / 8);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * bytesPerSample;
    std::vector<uint8_t> out;
    PutText(out, "RIFF");
    PutU32(out, 36 + dataBytes + (dataBytes & 1));
    PutText(out, "WAVE");
    PutText(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(channels));
    PutU32(out, static_cast<uint32_t>(sampleRate));
    PutU32(out, static_cast<uint32_t>(sampleRate) * static_cast<uint32_t>(channels) * bytesPerSample);
    PutU16(out, static_cast<uint32_t>(channels) * bytesPerSample);
    PutU16(out, static_cast<uint32_t>(bitsPerSample));
    PutText(out, "data");
    PutU32(out, dataBytes);
    for (int16_t value : samples) {
        if (bitsPerSample == 8) {
            out.push_back(static_cast<uint8_t>((value >> 8) + 128));
        } else {
            PutU16(out, static_cast<uint16_t>(value));
        }
    }
    if (dataBytes & 1) out.push_back(0);
    return out;
}

std::vector<int16_t> SquareWave(size_t frames, int16_t amplitude)
{
    std::vector<int16_t> wave(frames);
    for (size_t i = 0; i < frames; ++i) wave[i] = (i / 50) % 2 == 0 ? amplitude : static_cast<int16_t>(-amplitude);
    return wave;
}

std::vector<uint8_t> MakeModule(int orders, bool shortOrders)
{
    std::vector<uint8_t> out(kModHeaderBytes + kModPatterns * kModPatternBytes + kModSampleBytes, 0);
    std::copy_n("test module", 11, out.begin());
    uint8_t* sample = &out[20];
    std::copy_n("square", 6, sample);
    PutBigU16(sample + 22, kModSampleBytes / 2);
    sample[25] = 64;  // full volume
    PutBigU16(sample + 26, 0);
    PutBigU16(sample + 28, kModSampleBytes / 2);
    out[950] = static_cast<uint8_t>(orders);
    out[951] = 0;
    for (int i = 0; i < orders; ++i) out[952 + static_cast<size_t>(i)] = static_cast<uint8_t>(i % kModPatterns);
    std::copy_n("M.K.", 4, &out[1080]);
    for (int pattern = 0; pattern < kModPatterns; ++pattern) {
        uint8_t* row0 = &out[kModHeaderBytes + static_cast<size_t>(pattern) * kModPatternBytes];
        PutModuleNote(row0, 1, kNoteC2Period, 0, 0);
        if (shortOrders) PutModuleNote(row0 + 4, 0, 0, 0xD, 0);
    }
    uint8_t* wave = &out[kModHeaderBytes + kModPatterns * kModPatternBytes];
    for (size_t i = 0; i < kModSampleBytes; ++i) wave[i] = static_cast<uint8_t>(i < kModSampleBytes / 2 ? 100 : -100);
    return out;
}
