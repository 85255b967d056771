#include "engine/platform/SoundSystem.h"

#include <gtest/gtest.h>

#include <SDL2/SDL_timer.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "SoundFiles.h"
#include "engine/platform/Fsound.h"
#include "engine/platform/Log.h"
#include "engine/platform/SampleCache.h"
#include "engine/platform/SoundInstance.h"
#include "engine/platform/SoundSample.h"

namespace {

using LogLines = std::vector<std::pair<int, std::string>>;

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        Log::SetListener([this](int level, const std::string& text) { log_.emplace_back(level, text); });
    }
    void TearDown() override
    {
        Log::SetListener(nullptr);
        SampleCache::Clear();
        FSOUND_Close();
        FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    }

    // The named sound written into the test's folder (8-bit mono at 11025 Hz); returns its path.
    std::string Wav(const char* name, size_t frames = 1000) const
    {
        return dir_.Write(name, MakeWav(1, 8, 11025, SquareWave(frames, 5000)));
    }
    SoundSample* Cached(const std::string& path) const { return SampleCache::Get(path.c_str(), false, false, false); }

    TempDir dir_;
    SoundSystem sound_;
    LogLines log_;  // every line logged during the test
};

TEST_F(SoundSystemTest, StartLogsTheDriverTheRateAndTheChannelsAndTheEndClosesTheLibrary)
{
    // Drivers 2 and −1 log no driver line.
    const struct { int driver; const char* driverLine; } cases[] = {
        {0, "\tDriver:\t\tWindows MMSystem\n"}, {1, "\tDriver:\t\tMicrosoft Direct Sound\n"}, {2, nullptr}, {-1, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.driver);
        LogLines expected = {{1, "== Sound System =="}, {1, "Inicializing Sound:\n"}};
        if (c.driverLine != nullptr) expected.emplace_back(1, c.driverLine);
        expected.insert(expected.end(), {{1, "\tSampling:\t44100\n"}, {1, "\tChannels:\t24\n"}, {1, "Inicialized\n"}});
        {
            log_.clear();
            SoundSystem sound;
            EXPECT_TRUE(sound.Start(24, 44100, c.driver));
            EXPECT_EQ(log_, expected);
            EXPECT_EQ(std::tuple(sound.Channels(), FSOUND_GetOutputRate()), std::tuple(24, 44100));
        }
        EXPECT_EQ(FSOUND_GetOutputRate(), 0) << "destroying the system closes the library";
    }
}

TEST_F(SoundSystemTest, AFailedStartSaysSoLeavesTheFieldsAtZeroAndEveryPlayReturnsAnInvalidChannel)
{
    EXPECT_FALSE(sound_.Start(0, 44100, 1));
    ASSERT_GE(log_.size(), 2u);
    EXPECT_EQ(LogLines(log_.end() - 2, log_.end()), (LogLines{{1, " !!!! COULD NOT INICIALIZE !!!!\n"},
                                                             {4, "!!! FAILED TO START SOUND SYSTEM!!!\nPlease see the log file"}}));
    EXPECT_EQ(std::tuple(sound_.Channels(), sound_.MixRate(), FSOUND_GetOutputRate()), std::tuple(0, 0, 0));
    ASSERT_FALSE(sound_.Start(24, 0, 1));
    SoundSample* sample = Cached(Wav("fire.wav", 2));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->Handle(), nullptr);
    EXPECT_EQ(SoundInstance(sample).Play(false), -1);
    EXPECT_EQ(SoundInstance(nullptr).Play(false), -1);
}

TEST_F(SoundSystemTest, TheCacheTriesAFileOnceSharesOneSamplePerExactNameAndItsInstancesPlayOnTheirOwnChannels)
{
    ASSERT_TRUE(sound_.Start(24, 44100, 1));
    const std::string path = dir_.Path("explosion.wav");
    SoundSample* missing = Cached(path);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Handle(), nullptr) << "a failed load is cached as a sample with a null handle";
    Wav("explosion.wav");
    EXPECT_EQ(Cached(path), missing);
    EXPECT_EQ(missing->Handle(), nullptr) << "the file is tried once";
    SampleCache::Clear();
    EXPECT_EQ(SampleCache::Count(), 0u);

    SoundSample* first = Cached(path);
    ASSERT_NE(first->Handle(), nullptr);
    EXPECT_EQ(SampleCache::Get(path.c_str(), true, true, true), first);
    EXPECT_EQ(SampleCache::Count(), 1u);
    // Instances play on their own channels; cached without loop, the sample ends by itself even
    // when later asked for with loop on, while a paused one does not run out.
    SoundInstance played(first), paused(first);
    const int playedChannel = played.Play(false), pausedChannel = paused.Play(true);
    EXPECT_NE(playedChannel, -1);
    EXPECT_NE(pausedChannel, -1);
    EXPECT_NE(playedChannel, pausedChannel);
    EXPECT_EQ(played.channel, playedChannel);
    EXPECT_EQ(paused.paused, 1);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 2);
    SDL_Delay(300);  // the sound lasts a tenth of a second
    EXPECT_FALSE(FSOUND_IsPlaying(playedChannel));
    EXPECT_TRUE(FSOUND_IsPlaying(pausedChannel));
    EXPECT_NE(Cached(Wav("EXPLOSION.wav")), first) << "names compare exactly";
    EXPECT_EQ(SampleCache::Count(), 2u);
    EXPECT_EQ(SampleCache::Get(nullptr, false, false, false), nullptr);
    SampleCache::Clear();
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "clearing the cache stops its samples";
}

}  // namespace
