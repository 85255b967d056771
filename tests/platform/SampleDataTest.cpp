#include "engine/platform/SampleData.h"

#include <gtest/gtest.h>

#include "SoundFiles.h"
#include "engine/platform/WavFile.h"

namespace {

WavFile ParsedWav(int channels, int bits, int rate, const std::vector<int16_t>& samples)
{
    const std::vector<uint8_t> bytes = MakeWav(channels, bits, rate, samples);
    WavFile wav;
    EXPECT_TRUE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
    return wav;
}

TEST(SampleData, ConvertsEveryLayoutToStereoSixteenBitAtTheMixRate)
{
    // 8-bit values are written as their high bytes: 0x80 is silence, 0xFF the top, 0x00 the bottom.
    const struct { const char* name; int channels, bits, rate; std::vector<int16_t> samples, frames; } cases[] = {
        {"stereo at the mix rate is copied", 2, 16, 44100, {100, -100, 32767, -32768, 5, 6},
         {100, -100, 32767, -32768, 5, 6}},
        {"mono feeds both channels", 1, 16, 44100, {1000, -2000}, {1000, 1000, -2000, -2000}},
        {"8-bit unsigned becomes signed", 1, 8, 44100, {0, 0x7F00, -0x8000}, {0, 0, 0x7F00, 0x7F00, -0x8000, -0x8000}},
        {"half the rate is doubled with straight lines between samples", 1, 16, 22050, {0, 1000, 3000},
         {0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 3000, 3000}},
        {"twice the rate keeps every other sample", 1, 16, 88200, {10, 20, 30, 40, 50, 60}, {10, 10, 30, 30, 50, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool loop : {false, true}) {
            SampleData data;
            ASSERT_TRUE(SampleData::FromWav(ParsedWav(c.channels, c.bits, c.rate, c.samples), 44100, loop, &data));
            EXPECT_EQ(data.frames, c.frames);
            EXPECT_EQ(data.loop, loop);
        }
    }
}

TEST(SampleData, LengthInSecondsIsKeptAcrossRates)
{
    const int rates[] = {8000, 11025, 22050, 32000, 48000, 96000};
    for (int rate : rates) {
        SCOPED_TRACE(rate);
        SampleData data;
        const size_t oneSecond = static_cast<size_t>(rate);
        ASSERT_TRUE(SampleData::FromWav(ParsedWav(1, 8, rate, SquareWave(oneSecond, 1000)), 44100, false, &data));
        EXPECT_EQ(data.FrameCount(), 44100u);
    }
}

TEST(SampleData, RefusesEmptyTooLongAndRatelessInput)
{
    SampleData data;
    EXPECT_FALSE(SampleData::FromWav(WavFile{}, 44100, false, &data));
    EXPECT_FALSE(SampleData::FromWav(ParsedWav(1, 16, 44100, {1, 2}), 0, false, &data));
    EXPECT_FALSE(SampleData::FromWav(ParsedWav(1, 16, 44100, {1, 2}), 44100, false, nullptr));
    // Two frames at 44100 Hz come out as no frame at 100 Hz.
    EXPECT_FALSE(SampleData::FromWav(ParsedWav(1, 16, 44100, {1, 2}), 100, false, &data));

    WavFile tooLong;
    tooLong.channels = 1;
    tooLong.bitsPerSample = 8;
    tooLong.sampleRate = 100;
    tooLong.pcm.assign(static_cast<size_t>(SampleData::kMaxSeconds) * 100, 128);
    EXPECT_FALSE(SampleData::FromWav(tooLong, 44100, false, &data));
    tooLong.pcm.resize(tooLong.pcm.size() - 1);
    EXPECT_TRUE(SampleData::FromWav(tooLong, 8000, false, &data));
}

}  // namespace
