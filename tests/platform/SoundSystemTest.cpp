#include "engine/platform/SoundSystem.h"

#include <gtest/gtest.h>

#include <SDL2/SDL_timer.h>

#include <cstdlib>
#include <string>
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

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture()
    {
        Log::SetListener([this](int level, const std::string& text) { lines.emplace_back(level, text); });
    }
    ~LogCapture() { Log::SetListener(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    LogLines lines;
};

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override
    {
        SampleCache::Clear();
        FSOUND_Close();
        FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    }

    TempDir dir_;
};

struct DriverCase {
    int driver;
    const char* driverLine;  // null when no driver line is logged
};

TEST_F(SoundSystemTest, StartLogsTheDriverTheRateAndTheChannels)
{
    const DriverCase cases[] = {
        {0, "\tDriver:\t\tWindows MMSystem\n"},
        {1, "\tDriver:\t\tMicrosoft Direct Sound\n"},
        {2, nullptr},
        {-1, nullptr},
    };
    for (const DriverCase& c : cases) {
        SCOPED_TRACE(c.driver);
        LogLines expected = {{1, "== Sound System =="}, {1, "Inicializing Sound:\n"}};
        if (c.driverLine != nullptr) expected.emplace_back(1, c.driverLine);
        expected.emplace_back(1, "\tSampling:\t44100\n");
        expected.emplace_back(1, "\tChannels:\t24\n");
        expected.emplace_back(1, "Inicialized\n");
        LogCapture log;
        SoundSystem sound;
        EXPECT_TRUE(sound.Start(24, 44100, c.driver));
        EXPECT_EQ(log.lines, expected);
        EXPECT_EQ(sound.Channels(), 24);
        EXPECT_EQ(sound.MixRate(), 44100);
    }
}

TEST_F(SoundSystemTest, AFailedStartSaysSoAndLeavesTheFieldsAtZero)
{
    LogCapture log;
    SoundSystem sound;
    EXPECT_FALSE(sound.Start(0, 44100, 1));
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[log.lines.size() - 2], (std::pair<int, std::string>{1, " !!!! COULD NOT INICIALIZE !!!!\n"}));
    EXPECT_EQ(log.lines.back(),
              (std::pair<int, std::string>{4, "!!! FAILED TO START SOUND SYSTEM!!!\nPlease see the log file"}));
    EXPECT_EQ(sound.Channels(), 0);
    EXPECT_EQ(sound.MixRate(), 0);
    EXPECT_EQ(FSOUND_GetOutputRate(), 0);
}

TEST_F(SoundSystemTest, DestroyingTheSystemClosesTheLibraryAndASecondCloseIsHarmless)
{
    {
        SoundSystem sound;
        ASSERT_TRUE(sound.Start(24, 44100, 1));
        EXPECT_EQ(FSOUND_GetOutputRate(), 44100);
        SoundSystem second;
    }
    EXPECT_EQ(FSOUND_GetOutputRate(), 0);
    FSOUND_Close();
}

TEST_F(SoundSystemTest, ASampleLoadsWithItsModeAndFreesOnce)
{
    SoundSystem sound;
    ASSERT_TRUE(sound.Start(24, 44100, 1));
    const std::string path = dir_.Write("fire.wav", MakeWav(1, 16, 22050, SquareWave(100, 1000)));
    SoundSample sample;
    EXPECT_NE(sample.Load(path.c_str(), true, false, false), nullptr);
    EXPECT_EQ(sample.Handle(), sample.Load(path.c_str(), false, true, true)) << "Load returns the stored handle";
    const int channel = FSOUND_PlaySoundEx(FSOUND_FREE, sample.Handle(), nullptr, false);
    sample.Free();
    EXPECT_EQ(sample.Handle(), nullptr);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    sample.Free();
    EXPECT_EQ(sample.Load(dir_.Path("missing.wav").c_str(), false, false, false), nullptr);
}

TEST_F(SoundSystemTest, TheCacheSharesOneSamplePerExactNameWhateverTheLaterFlags)
{
    SoundSystem sound;
    ASSERT_TRUE(sound.Start(24, 44100, 1));
    const std::string path = dir_.Write("explosion.wav", MakeWav(1, 8, 11025, SquareWave(1000, 5000)));
    SoundSample* first = SampleCache::Get(path.c_str(), false, false, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->Handle(), nullptr);
    EXPECT_EQ(SampleCache::Get(path.c_str(), true, true, true), first);
    EXPECT_EQ(SampleCache::Count(), 1u);

    // Cached without loop, the sample ends by itself even when later asked for with loop on.
    const int channel = FSOUND_PlaySoundEx(FSOUND_FREE, first->Handle(), nullptr, false);
    SDL_Delay(300);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));

    const std::string other = dir_.Write("EXPLOSION.wav", MakeWav(1, 8, 11025, SquareWave(1000, 5000)));
    EXPECT_NE(SampleCache::Get(other.c_str(), false, false, false), first) << "names compare exactly";
    EXPECT_EQ(SampleCache::Count(), 2u);
    EXPECT_EQ(SampleCache::Get(nullptr, false, false, false), nullptr);
}

TEST_F(SoundSystemTest, AFailedLoadIsCachedAsASampleWithANullHandle)
{
    SoundSystem sound;
    ASSERT_TRUE(sound.Start(24, 44100, 1));
    const std::string path = dir_.Path("explosion.wav");
    SoundSample* missing = SampleCache::Get(path.c_str(), false, false, false);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Handle(), nullptr);
    dir_.Write("explosion.wav", MakeWav(1, 8, 11025, SquareWave(1000, 5000)));
    EXPECT_EQ(SampleCache::Get(path.c_str(), false, false, false), missing);
    EXPECT_EQ(missing->Handle(), nullptr) << "the file is tried once";
    SampleCache::Clear();
    EXPECT_EQ(SampleCache::Count(), 0u);
    EXPECT_NE(SampleCache::Get(path.c_str(), false, false, false)->Handle(), nullptr);
}

TEST_F(SoundSystemTest, TwoInstancesOfOneCachedSamplePlayOnTwoChannels)
{
    SoundSystem sound;
    ASSERT_TRUE(sound.Start(24, 44100, 1));
    SoundSample* sample =
        SampleCache::Get(dir_.Write("explosion.wav", MakeWav(2, 16, 44100, SquareWave(20000, 5000))).c_str(), false,
                         false, false);
    SoundInstance first(sample);
    SoundInstance second(sample);
    const int firstChannel = first.Play(false);
    const int secondChannel = second.Play(false);
    EXPECT_NE(firstChannel, -1);
    EXPECT_NE(secondChannel, -1);
    EXPECT_NE(firstChannel, secondChannel);
    EXPECT_EQ(first.channel, firstChannel);
    EXPECT_EQ(first.paused, 0);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 2);
    SampleCache::Clear();
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "clearing the cache stops its samples";
}

TEST_F(SoundSystemTest, AnInstanceKeepsItsPausedFlagAndStartsAtTheOrigin)
{
    SoundSystem sound;
    ASSERT_TRUE(sound.Start(24, 44100, 1));
    SoundInstance instance(
        SampleCache::Get(dir_.Write("fire.wav", MakeWav(1, 16, 22050, SquareWave(100, 1000))).c_str(), false, false, false));
    EXPECT_EQ(instance.position[3], 1.0f);
    EXPECT_EQ(instance.velocity[3], 1.0f);
    EXPECT_EQ(instance.position[0], 0.0f);
    const int channel = instance.Play(true);
    EXPECT_EQ(instance.paused, 1);
    SDL_Delay(100);
    EXPECT_TRUE(FSOUND_IsPlaying(channel)) << "a paused sound does not run out";
}

TEST_F(SoundSystemTest, WithoutSoundEveryPlayReturnsAnInvalidChannel)
{
    SoundSystem sound;
    ASSERT_FALSE(sound.Start(24, 0, 1));
    SoundSample* sample = SampleCache::Get(dir_.Write("fire.wav", MakeWav(1, 16, 22050, {1, 2})).c_str(), false,
                                           false, false);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->Handle(), nullptr);
    EXPECT_EQ(SoundInstance(sample).Play(false), -1);
    EXPECT_EQ(SoundInstance(nullptr).Play(false), -1);
}

}  // namespace
