#include "engine/platform/SampleData.h"

#include "engine/platform/WavFile.h"

namespace {

// One channel of the file as 16-bit values; a mono file feeds both output channels.
int16_t ReadSample(const WavFile& wav, size_t frame, int channel)
{
    const int source = channel < wav.channels ? channel : 0;
    const size_t index = frame * static_cast<size_t>(wav.channels) + static_cast<size_t>(source);
    if (wav.bitsPerSample == 8) return static_cast<int16_t>((static_cast<int>(wav.pcm[index]) - 128) * 256);
    const uint8_t* p = &wav.pcm[index * 2];
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

int16_t Interpolate(int16_t a, int16_t b, uint64_t numerator, uint64_t denominator)
{
    const int64_t delta = static_cast<int64_t>(b) - a;
    return static_cast<int16_t>(a + delta * static_cast<int64_t>(numerator) / static_cast<int64_t>(denominator));
}

}  // namespace

bool SampleData::FromWav(const WavFile& wav, int mixRate, bool loop, SampleData* out)
{
    const size_t inFrames = wav.Frames();
    if (out == nullptr || mixRate <= 0 || wav.sampleRate <= 0 || inFrames == 0) return false;
    const uint64_t inRate = static_cast<uint64_t>(wav.sampleRate);
    const uint64_t outRate = static_cast<uint64_t>(mixRate);
    if (inFrames / inRate >= static_cast<uint64_t>(kMaxSeconds)) return false;
    const uint64_t outFrames = static_cast<uint64_t>(inFrames) * outRate / inRate;
    if (outFrames == 0) return false;

    SampleData data;
    data.loop = loop;
    data.frames.resize(static_cast<size_t>(outFrames) * 2);
    for (uint64_t i = 0; i < outFrames; ++i) {
        const uint64_t position = i * inRate;
        const size_t at = static_cast<size_t>(position / outRate);
        const size_t next = at + 1 < inFrames ? at + 1 : at;
        const uint64_t fraction = position % outRate;
        for (int channel = 0; channel < 2; ++channel) {
            data.frames[static_cast<size_t>(i) * 2 + static_cast<size_t>(channel)] =
                Interpolate(ReadSample(wav, at, channel), ReadSample(wav, next, channel), fraction, outRate);
        }
    }
    *out = std::move(data);
    return true;
}
