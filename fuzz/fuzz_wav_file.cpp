// Feeds arbitrary bytes to the WAV reader and converts whatever it accepts to the mix rate.
#include <cstddef>
#include <cstdint>

#include "engine/platform/SampleData.h"
#include "engine/platform/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int kMixRate = 44100;
    WavFile wav;
    if (!WavFile::Parse(data, size, &wav)) return 0;
    if (wav.Frames() == 0 || wav.pcm.size() % wav.BytesPerFrame() != 0) __builtin_trap();
    SampleData sample;
    if (SampleData::FromWav(wav, kMixRate, false, &sample) && sample.frames.size() % 2 != 0) __builtin_trap();
    return 0;
}
