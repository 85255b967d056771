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

TEST(Mixer, MixesSilenceAloneAndTheSumOfEveryPlayingChannelClippedToSixteenBits)
{
    Mixer mixer(24, kRate);
    std::vector<int16_t> out = Mixed(mixer, 3000);
    EXPECT_TRUE(AllEqual(out, 0, out.size(), 0));
    const SampleData sample = Constant(100, 1000), high = Constant(4, 30000), low = Constant(4, -30000);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), 0);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), 1);
    EXPECT_EQ(mixer.ChannelsPlaying(), 2);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 10), 0, 20, 2000));
    Mixer loud(4, kRate);
    loud.Play(Mixer::kFree, &high, false);
    loud.Play(Mixer::kFree, &high, false);
    EXPECT_TRUE(AllEqual(Mixed(loud, 4), 0, 8, 32767));
    loud.Play(Mixer::kFree, &low, false);
    loud.Play(Mixer::kFree, &low, false);
    EXPECT_TRUE(AllEqual(Mixed(loud, 4), 0, 8, -32768));
}

TEST(Mixer, ASamplePlaysToItsEndAndFreesItsChannelWhileALoopingOneWrapsAndKeepsIt)
{
    Mixer mixer(24, kRate);
    const SampleData sample = Constant(1500, 700);
    const int channel = mixer.Play(Mixer::kFree, &sample, false);
    const std::vector<int16_t> out = Mixed(mixer, 2000);  // crosses the mixer's block size
    EXPECT_TRUE(AllEqual(out, 0, 1500 * 2, 700));
    EXPECT_TRUE(AllEqual(out, 1500 * 2, out.size(), 0));
    EXPECT_FALSE(mixer.IsPlaying(channel));
    EXPECT_EQ(mixer.Play(Mixer::kFree, &sample, false), channel);

    Mixer looping(4, kRate);
    SampleData loop = Constant(3, 0, true);
    loop.frames = {1, 1, 2, 2, 3, 3};
    const int loopChannel = looping.Play(Mixer::kFree, &loop, false);
    EXPECT_EQ(Mixed(looping, 7), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3, 1, 1}));
    EXPECT_TRUE(looping.IsPlaying(loopChannel));
}

TEST(Mixer, ChosenPausedAndStoppedChannelsAndTheRefusedPlays)
{
    Mixer mixer(4, kRate);
    const SampleData first = Constant(100, 10), second = Constant(100, 20), empty;
    EXPECT_EQ(mixer.Play(2, &first, false), 2);
    EXPECT_EQ(mixer.Play(2, &second, false), 2) << "a chosen channel cuts off what played there";
    EXPECT_EQ(mixer.ChannelsPlaying(), 1);
    EXPECT_TRUE(AllEqual(Mixed(mixer, 5), 0, 10, 20));
    for (int channel : {0, 1, 3}) EXPECT_EQ(mixer.Play(Mixer::kFree, &first, false), channel);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &first, false), -1) << "a full mixer";
    mixer.StopSample(&first);  // silences every channel playing it
    EXPECT_EQ(mixer.ChannelsPlaying(), 1);
    EXPECT_TRUE(mixer.IsPlaying(2));
    EXPECT_TRUE(AllEqual(Mixed(mixer, 5), 0, 10, 20));
    for (int channel : {4, -2}) EXPECT_EQ(mixer.Play(channel, &first, false), -1) << channel;
    EXPECT_EQ(mixer.Play(Mixer::kFree, nullptr, false), -1);
    EXPECT_EQ(mixer.Play(Mixer::kFree, &empty, false), -1);
    EXPECT_EQ(mixer.ChannelsPlaying(), 1);

    Mixer paused(4, kRate);
    const SampleData sample = Constant(10, 300);
    const int channel = paused.Play(Mixer::kFree, &sample, true);
    EXPECT_TRUE(AllEqual(Mixed(paused, 50), 0, 100, 0));
    EXPECT_TRUE(paused.IsPlaying(channel));
    EXPECT_TRUE(paused.SetPaused(channel, false));
    const std::vector<int16_t> out = Mixed(paused, 50);
    EXPECT_TRUE(AllEqual(out, 0, 20, 300));
    EXPECT_TRUE(AllEqual(out, 20, 100, 0));
    EXPECT_FALSE(paused.SetPaused(channel, true));
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
