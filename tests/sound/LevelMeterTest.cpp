#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/sound/LevelMeter.h"

namespace {

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
    struct Case {
        const char* what;
        std::vector<std::vector<int16_t>> parts;
        double peakDb, rmsDb, silence;
    };
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
