#include "engine/platform/Mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "SoundFiles.h"
#include "engine/platform/ModuleSong.h"

namespace {

constexpr int kRate = 44100;

SampleData Constant(size_t frames, int16_t value, bool loop = false)
{
    SampleData data;
    data.frames.assign(frames * 2, value);
    data.loop = loop;
    return data;
}

std::vector<int16_t> Mixed(Mixer& mixer, size_t frames)
{
    std::vector<int16_t> out(frames * 2, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

bool AllEqual(const std::vector<int16_t>& values, size_t from, size_t to, int16_t expected)
{
    return std::all_of(values.begin() + static_cast<std::ptrdiff_t>(from), values.begin() + static_cast<std::ptrdiff_t>(to),
                       [expected](int16_t v) { return v == expected; });
}

TEST(Mixer, MixesSilenceAloneAndTheSumOfEveryPlayingChannel)
{
    Mixer mixer(24, kRate);
    std::vector<int16_t> out = Mixed(mixer, 3000);
    EXPECT_TRUE(AllEqual(out, 0, out.size(), 0));
    const SampleData sample = Constant(100, 1000);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), 0);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), 1);
    EXPECT_EQ(mixer.ChannelsPlaying(), 2);
    out = Mixed(mixer, 10);
    EXPECT_TRUE(AllEqual(out, 0, out.size(), 2000));
}

TEST(Mixer, ASamplePlaysToItsEndAndFreesItsChannel)
{
    Mixer mixer(24, kRate);
    const SampleData sample = Constant(1500, 700);
    const int channel = mixer.Play(Mixer::kFree, &sample, false);
    const std::vector<int16_t> out = Mixed(mixer, 2000);  // crosses the mixer's block size
    EXPECT_TRUE(AllEqual(out, 0, 1500 * 2, 700));
    EXPECT_TRUE(AllEqual(out, 1500 * 2, out.size(), 0));
    EXPECT_FALSE(mixer.IsPlaying(channel));
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), channel);
}

TEST(Mixer, ALoopingSampleWrapsAroundAndKeepsItsChannel)
{
    Mixer mixer(4, kRate);
    SampleData sample = Constant(3, 0, true);
    sample.frames = {1, 1, 2, 2, 3, 3};
    const int channel = mixer.Play(Mixer::kFree, &sample, false);
    EXPECT_EQ(Mixed(mixer, 7), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3, 1, 1}));
    EXPECT_TRUE(mixer.IsPlaying(channel));
}

TEST(Mixer, AChosenChannelCutsOffWhatPlayedThereAndAFullMixerRefusesAFreeOne)
{
    Mixer mixer(4, kRate);
    const SampleData first = Constant(100, 10);
    const SampleData second = Constant(100, 20);
    EXPECT_EQ(mixer.Play(2, &first, false), 2);
    EXPECT_EQ(mixer.Play(2, &second, false), 2);
    EXPECT_EQ(mixer.ChannelsPlaying(), 1);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 5), 0, 10, 20));
    for (int channel : {0, 1, 3}) EXPECT_EQ(mixer.Play(Mixer::kFree, &first, false), channel);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &first, false), -1);
    EXPECT_EQ(mixer.ChannelsPlaying(), 4);
}

TEST(Mixer, RefusesPlaysOnMissingChannelsAndOfMissingSamples)
{
    const SampleData sample = Constant(10, 1);
    const SampleData empty;
    const struct {
        const char* name;
        int channel;
        const SampleData* sample;
    } cases[] = {
        {"channel past the last", 4, &sample},
        {"negative channel other than any free", -2, &sample},
        {"null sample", Mixer::kFree, nullptr},
        {"empty sample", Mixer::kFree, &empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mixer mixer(4, kRate);
        EXPECT_EQ(mixer.Play(c.channel, c.sample, false), -1);
        EXPECT_EQ(mixer.ChannelsPlaying(), 0);
    }
}

TEST(Mixer, APausedChannelHoldsItsPlaceUntilResumed)
{
    Mixer mixer(4, kRate);
    const SampleData sample = Constant(10, 300);
    const int channel = mixer.Play(Mixer::kFree, &sample, true);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 50), 0, 100, 0));
    EXPECT_TRUE(mixer.IsPlaying(channel));
    EXPECT_TRUE(mixer.SetPaused(channel, false));
    const std::vector<int16_t> out = Mixed(mixer, 50);
    EXPECT_TRUE(AllEqual(out, 0, 20, 300));
    EXPECT_TRUE(AllEqual(out, 20, 100, 0));
    EXPECT_FALSE(mixer.SetPaused(channel, true));
}

TEST(Mixer, LoudSumsAreClippedToSixteenBits)
{
    Mixer mixer(4, kRate);
    const SampleData high = Constant(4, 30000);
    const SampleData low = Constant(4, -30000);
    mixer.Play(Mixer::kFree, &high, false);
    mixer.Play(Mixer::kFree, &high, false);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 4), 0, 8, 32767));
    mixer.Play(Mixer::kFree, &low, false);
    mixer.Play(Mixer::kFree, &low, false);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 4), 0, 8, -32768));
}

TEST(Mixer, StoppingASampleSilencesEveryChannelPlayingIt)
{
    Mixer mixer(4, kRate);
    const SampleData gone = Constant(100, 5);
    const SampleData kept = Constant(100, 7);
    mixer.Play(Mixer::kFree, &gone, false);
    const int keptChannel = mixer.Play(Mixer::kFree, &kept, false);
    mixer.Play(Mixer::kFree, &gone, false);
    mixer.StopSample(&gone);
    EXPECT_EQ(mixer.ChannelsPlaying(), 1);
    EXPECT_TRUE(mixer.IsPlaying(keptChannel));
    EXPECT_TRUE(AllEqual(Mixed(mixer, 5), 0, 10, 7));
}

TEST(Mixer, APlayingSongIsMixedAndLeavesTheListWhenItEnds)
{
    const std::vector<uint8_t> bytes = MakeModule(2, true);
    std::unique_ptr<ModuleSong> song = ModuleSong::FromMemory(bytes.data(), bytes.size());
    ASSERT_NE(song, nullptr);
    Mixer mixer(4, kRate);
    mixer.AddSong(song.get());
    EXPECT_TRUE(AllEqual(Mixed(mixer, 1000), 0, 2000, 0)) << "a song that was not started is silent";

    song->Restart();
    mixer.AddSong(song.get());
    const std::vector<int16_t> out = Mixed(mixer, kRate / 10);
    EXPECT_FALSE(AllEqual(out, 0, out.size(), 0));
    Mixed(mixer, kRate);  // two one-row orders last well under a second
    EXPECT_FALSE(song->Playing());
    song->Restart();
    EXPECT_TRUE(AllEqual(Mixed(mixer, 1000), 0, 2000, 0)) << "an ended song has left the list";
}

}  // namespace
