// CPU time the mixer needs for one second of 44100 Hz stereo output; each iteration mixes one
// second, so the reported time per iteration is the cost per second of sound.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "SoundFiles.h"
#include "engine/platform/Mixer.h"
#include "engine/platform/ModuleSong.h"
#include "engine/platform/SampleData.h"
#include "engine/platform/WavFile.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 24;
constexpr size_t kDeviceBufferFrames = 1024;

SampleData LoopingSample()
{
    SampleData sample;
    sample.loop = true;
    sample.frames.resize(kRate * 2);
    for (size_t i = 0; i < sample.frames.size(); ++i) sample.frames[i] = static_cast<int16_t>((i * 7919) % 2000 - 1000);
    return sample;
}

// Mixes one second in the device's buffer size, as the audio callback does.
void MixOneSecond(Mixer& mixer, std::vector<int16_t>& buffer)
{
    for (size_t done = 0; done < kRate; done += kDeviceBufferFrames) {
        mixer.Mix(buffer.data(), kDeviceBufferFrames);
        benchmark::DoNotOptimize(buffer.data());
    }
}

void MixerAllChannelsBusy(benchmark::State& state)
{
    const SampleData sample = LoopingSample();
    Mixer mixer(kChannels, kRate);
    for (int i = 0; i < kChannels; ++i) mixer.Play(Mixer::kFree, &sample, false);
    std::vector<int16_t> buffer(kDeviceBufferFrames * 2);
    for (auto _ : state) MixOneSecond(mixer, buffer);
    state.counters["channels"] = mixer.ChannelsPlaying();
}
BENCHMARK(MixerAllChannelsBusy)->Unit(benchmark::kMillisecond);

void MixerModuleOnly(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = MakeModule(32, false);
    std::unique_ptr<ModuleSong> song = ModuleSong::FromMemory(bytes.data(), bytes.size());
    song->SetLooping(true);
    song->Restart();
    Mixer mixer(kChannels, kRate);
    mixer.AddSong(song.get());
    std::vector<int16_t> buffer(kDeviceBufferFrames * 2);
    for (auto _ : state) MixOneSecond(mixer, buffer);
}
BENCHMARK(MixerModuleOnly)->Unit(benchmark::kMillisecond);

void MixerAllChannelsAndModule(benchmark::State& state)
{
    const SampleData sample = LoopingSample();
    const std::vector<uint8_t> bytes = MakeModule(32, false);
    std::unique_ptr<ModuleSong> song = ModuleSong::FromMemory(bytes.data(), bytes.size());
    song->SetLooping(true);
    song->Restart();
    Mixer mixer(kChannels, kRate);
    for (int i = 0; i < kChannels; ++i) mixer.Play(Mixer::kFree, &sample, false);
    mixer.AddSong(song.get());
    std::vector<int16_t> buffer(kDeviceBufferFrames * 2);
    for (auto _ : state) MixOneSecond(mixer, buffer);
}
BENCHMARK(MixerAllChannelsAndModule)->Unit(benchmark::kMillisecond);

// Loading cost: one second of 22050 Hz mono 16-bit WAV parsed and converted to the mix rate.
void WavParseAndConvertOneSecond(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = MakeWav(1, 16, 22050, SquareWave(22050, 8000));
    for (auto _ : state) {
        WavFile wav;
        SampleData sample;
        WavFile::Parse(bytes.data(), bytes.size(), &wav);
        SampleData::FromWav(wav, kRate, false, &sample);
        benchmark::DoNotOptimize(sample.frames.data());
    }
}
BENCHMARK(WavParseAndConvertOneSecond)->Unit(benchmark::kMicrosecond);

}  // namespace
