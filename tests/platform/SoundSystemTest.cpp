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

    // The named sound written into the test's folder (8-bit mono at 11025 Hz); returns its path.
    std::string Wav(const char* name, size_t frames = 1000) const
    {
        return dir_.Write(name, MakeWav(1, 8, 11025, SquareWave(frames, 5000)));
    }
    SoundSample* Cached(const std::string& path) const { return SampleCache::Get(path.c_str(), false, false, false); }

    TempDir dir_;
    SoundSystem sound_;
};

TEST_F(SoundSystemTest, StartLogsTheDriverTheRateAndTheChannels)
{
    const struct {
        int driver;
        const char* driverLine;  // null when no driver line is logged
    } cases[] = {
        {0, "\tDriver:\t\tWindows MMSystem\n"},
        {1, "\tDriver:\t\tMicrosoft Direct Sound\n"},
        {2, nullptr},
        {-1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.driver);
        LogLines expected = {{1, "== Sound System =="}, {1, "Inicializing Sound:\n"}};
        if (c.driverLine != nullptr) expected.emplace_back(1, c.driverLine);
        expected.insert(expected.end(), {{1, "\tSampling:\t44100\n"}, {1, "\tChannels:\t24\n"}, {1, "Inicialized\n"}});
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
    EXPECT_FALSE(sound_.Start(0, 44100, 1));
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[log.lines.size() - 2], (std::pair<int, std::string>{1, " !!!! COULD NOT INICIALIZE !!!!\n"}));
    EXPECT_EQ(log.lines.back(),
              (std::pair<int, std::string>{4, "!!! FAILED TO START SOUND SYSTEM!!!\nPlease see the log file"}));
    EXPECT_EQ(sound_.Channels(), 0);
    EXPECT_EQ(sound_.MixRate(), 0);
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
    ASSERT_TRUE(sound_.Start(24, 44100, 1));
    const std::string path = Wav("fire.wav", 100);
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

TEST_F(SoundSystemTest, TheCacheTriesAFileOnceAndSharesOneSamplePerExactNameWhateverTheLaterFlags)
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
    // Cached without loop, the sample ends by itself even when later asked for with loop on.
    const int channel = FSOUND_PlaySoundEx(FSOUND_FREE, first->Handle(), nullptr, false);
    SDL_Delay(300);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));
    EXPECT_NE(Cached(Wav("EXPLOSION.wav")), first) << "names compare exactly";
    EXPECT_EQ(SampleCache::Count(), 2u);
    EXPECT_EQ(SampleCache::Get(nullptr, false, false, false), nullptr);
}

TEST_F(SoundSystemTest, InstancesOfOneCachedSamplePlayOnTheirOwnChannelsAndKeepTheirPausedFlag)
{
    ASSERT_TRUE(sound_.Start(24, 44100, 1));
    SoundSample* sample = Cached(Wav("explosion.wav", 2205));
    SoundInstance first(sample);
    SoundInstance second(sample);
    EXPECT_EQ(first.position[3], 1.0f);
    EXPECT_EQ(first.velocity[3], 1.0f);
    EXPECT_EQ(first.position[0], 0.0f);
    const int firstChannel = first.Play(false);
    const int secondChannel = second.Play(true);
    EXPECT_NE(firstChannel, -1);
    EXPECT_NE(secondChannel, -1);
    EXPECT_NE(firstChannel, secondChannel);
    EXPECT_EQ(first.channel, firstChannel);
    EXPECT_EQ(first.paused, 0);
    EXPECT_EQ(second.paused, 1);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 2);
    SDL_Delay(500);  // the sound lasts a fifth of a second
    EXPECT_FALSE(FSOUND_IsPlaying(firstChannel));
    EXPECT_TRUE(FSOUND_IsPlaying(secondChannel)) << "a paused sound does not run out";
    SampleCache::Clear();
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "clearing the cache stops its samples";
}

TEST_F(SoundSystemTest, WithoutSoundEveryPlayReturnsAnInvalidChannel)
{
    ASSERT_FALSE(sound_.Start(24, 0, 1));
    SoundSample* sample = Cached(Wav("fire.wav", 2));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->Handle(), nullptr);
    EXPECT_EQ(SoundInstance(sample).Play(false), -1);
    EXPECT_EQ(SoundInstance(nullptr).Play(false), -1);
}

}  // namespace
