#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/sound/Effects.h"
#include "tools/sound/LevelMeter.h"
#include "tools/sound/Voice.h"

namespace {

// The largest step between neighbouring frames in [begin, end).
float LargestStep(const std::vector<float>& x, size_t begin, size_t end)
{
    float largest = 0.0f;
    for (size_t i = std::max<size_t>(begin, 1); i < end; ++i) largest = std::max(largest, std::fabs(x[i] - x[i - 1]));
    return largest;
}

TEST(SoundKit, EveryVoiceMakesAFiniteSoundWithoutStepsAtItsEdgesOrItsLoop)
{
    for (const Voice* voice : Voice::All()) {
        SCOPED_TRACE(voice->name);
        const Sound sound = voice->make(voice->Defaults());
        const std::vector<float>& x = sound.samples;
        ASSERT_GT(x.size(), 100u);
        EXPECT_TRUE(std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v) && std::fabs(v) <= 1.0f; }));
        const float typical = LargestStep(x, 0, x.size());
        EXPECT_LT(std::fabs(x.front()), 0.05f * typical + 1e-4f) << "starts on a step";
        EXPECT_LT(std::fabs(x.back()), 0.05f * typical + 1e-4f) << "ends on a step";
        if (sound.loop == Sound::Loop::None) continue;
        ASSERT_LT(sound.loopBegin, sound.loopEnd);
        ASSERT_LE(sound.loopEnd, x.size());
        // Going round, the frame before loopBegin is followed in effect by loopEnd - 1: a sealed
        // loop makes the two alike, so the jump is no bigger than an ordinary step there.
        const float seam = std::fabs(x[sound.loopEnd - 1] - x[sound.loopBegin - 1]);
        EXPECT_LT(seam, 0.1f * LargestStep(x, sound.loopBegin, sound.loopEnd) + 1e-4f) << "the loop clicks";
        if (sound.loop == Sound::Loop::Sustain) {
            const float release = std::fabs(x[sound.loopEnd] - x[sound.loopEnd - 1]);
            EXPECT_LE(release, 1.5f * LargestStep(x, sound.loopBegin, sound.loopEnd)) << "the release clicks";
        }
    }
}

TEST(SoundKit, ADownsampledSoundKeepsItsPitchAndItsLoopInPlace)
{
    const Voice* pad = Voice::Find("pad");
    ASSERT_NE(pad, nullptr);
    Sound sound = pad->make(pad->Defaults());
    const Sound full = sound;
    sound.Downsample(2);
    EXPECT_EQ(sound.rate, Sound::kSampleRate / 2);
    EXPECT_NEAR(static_cast<double>(sound.samples.size()), full.samples.size() / 2.0, 1.0);
    EXPECT_EQ(sound.C5Speed(), full.C5Speed() / 2);
    EXPECT_NEAR(static_cast<double>(sound.loopBegin), full.loopBegin / 2.0, 1.0);
    EXPECT_NEAR(static_cast<double>(sound.loopEnd), full.loopEnd / 2.0, 1.0);
    sound.Downsample(2);
    EXPECT_EQ(sound.rate, Sound::kSampleRate / 2) << "only the kit's own rate is downsampled";
    sound.rate = Sound::kSampleRate;
    sound.Downsample(3);
    EXPECT_EQ(sound.rate, Sound::kSampleRate);
}

constexpr int kRate = 1000;  // Hz: ten frames a measuring window

// Seconds of a stereo sine of the given peak, or of silence for peak 0.
std::vector<int16_t> Tone(double seconds, double peak)
{
    std::vector<int16_t> frames;
    for (int i = 0; i < static_cast<int>(seconds * kRate); ++i) {
        const int16_t value = static_cast<int16_t>(std::lround(peak * std::sin(0.7 * i)));
        frames.push_back(value);
        frames.push_back(value);
    }
    return frames;
}

TEST(LevelMeter, MeasuresPeakLoudnessAndTheLongestSilenceAcrossCalls)
{
    struct Case { const char* what; std::vector<std::vector<int16_t>> parts; double peakDb, rmsDb, silence; };
    const Case cases[] = {
        {"a tone at -20 dB", {Tone(1.0, 3276.8)}, -20.0, -23.0, 0.0},
        {"a gap of 1.5 s between tones", {Tone(0.5, 3276.8), Tone(1.5, 0), Tone(0.5, 3276.8)}, -20.0, -27.0, 1.5},
        {"the longest of two gaps", {Tone(0.3, 0), Tone(0.2, 16384), Tone(0.7, 0)}, -6.0, -16.8, 0.7},
        {"full scale", {Tone(0.2, 32767)}, 0.0, -3.0, 0.0},
        {"nothing at all", {}, -120.0, -120.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LevelMeter meter(kRate);
        for (const std::vector<int16_t>& part : c.parts) meter.Add(part.data(), part.size() / 2);
        EXPECT_NEAR(meter.PeakDb(), c.peakDb, 0.1);
        EXPECT_NEAR(meter.RmsDb(), c.rmsDb, 0.2);
        EXPECT_NEAR(meter.LongestSilence(), c.silence, 0.02);
    }
    LevelMeter clipped(kRate);
    const std::vector<int16_t> loud = Tone(0.1, 40000.0 / 1.3);
    clipped.Add(loud.data(), loud.size() / 2);
    EXPECT_FALSE(clipped.Clipped());
    const int16_t top[2] = {32767, -32768};
    clipped.Add(top, 1);
    EXPECT_TRUE(clipped.Clipped());
}

}  // namespace
