#include "engine/platform/Fsound.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "SoundFiles.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 24;

// The library on SDL's disk audio driver: what the mixer sends to the device lands in a file,
// read back once the library is closed.
class FsoundOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir_.Path("output.raw").c_str(), 1);
        FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    }
    void TearDown() override
    {
        FSOUND_Close();
        unsetenv("SDL_DISKAUDIOFILE");
    }

    FSOUND_SAMPLE* LoadSample(size_t frames = 8000)
    {
        const std::string path = dir_.Write("fire.wav", MakeWav(1, 16, 22050, SquareWave(frames, 8000)));
        return FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), 0, 0, 0);
    }

    TempDir dir_;
};

TEST_F(FsoundOnDisk, APlayedSampleReachesTheOutputAndItsChannelFreesItself)
{
    ASSERT_TRUE(FSOUND_Init(kRate, kChannels, 0));
    EXPECT_STREQ(FSOUND_GetDriverName(), "disk");
    EXPECT_EQ(FSOUND_GetOutputRate(), kRate);
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_WINMM)) << "the output is chosen before the start";
    FSOUND_SAMPLE* sample = LoadSample(2205);  // a tenth of a second
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, false), 0);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 1);
    SDL_Delay(600);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "the channel frees itself at the end";
    FSOUND_Close();  // the output file is complete
    const std::vector<uint8_t> bytes = TempFolder::Read(dir_.Path("output.raw"));
    EXPECT_TRUE(std::any_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b != 0; }));
}

TEST_F(FsoundOnDisk, NothingWorksBeforeInitAndMissingFilesOrHandlesThatOutlivedTheirSampleOrTheLibraryAreIgnored)
{
    EXPECT_EQ(LoadSample(), nullptr);
    const std::string music = dir_.Write("music.mod", MakeModule(4, false));
    EXPECT_EQ(FMUSIC_LoadSong(music.c_str()), nullptr);
    EXPECT_FALSE(FSOUND_SetPaused(0, true));
    ASSERT_TRUE(FSOUND_Init(kRate, kChannels, 0));
    FSOUND_SAMPLE* missing = FSOUND_Sample_Load(FSOUND_FREE, dir_.Path("missing.wav").c_str(), 0, 0, 0);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, missing, nullptr, false), -1);
    FSOUND_Sample_Free(missing);
    FMUSIC_MODULE* none = FMUSIC_LoadSong(dir_.Path("ZEZIZIV5.it").c_str());
    EXPECT_EQ(none, nullptr);
    EXPECT_FALSE(FMUSIC_SetLooping(none, true) || FMUSIC_PlaySong(none) || FMUSIC_SetOrder(none, 11) ||
                 FMUSIC_StopSong(none) || FMUSIC_IsPlaying(none) || FMUSIC_FreeSong(none));
    EXPECT_EQ(FMUSIC_GetOrder(none), -1);

    FSOUND_SAMPLE* sample = LoadSample();
    FMUSIC_MODULE* song = FMUSIC_LoadSong(music.c_str());
    ASSERT_NE(sample, nullptr);
    ASSERT_NE(song, nullptr);
    EXPECT_NE(FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, false), -1);
    FSOUND_Sample_Free(sample);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "freeing a sample stops its channels";
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, false), -1);
    FSOUND_Sample_Free(sample);

    FSOUND_Close();
    FSOUND_Close();
    EXPECT_FALSE(FMUSIC_PlaySong(song));
    EXPECT_EQ(FMUSIC_GetOrder(song), -1);
    EXPECT_EQ(FSOUND_GetOutputRate(), 0);
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0);
    EXPECT_FALSE(FSOUND_IsPlaying(0));
}

TEST_F(FsoundOnDisk, InitChecksItsArguments)
{
    const struct { const char* name; int mixRate, channels; bool accepted; } cases[] = {
        {"one channel at the lowest rate", 8000, 1, true}, {"most channels at the highest rate", 192000, 256, true},
        {"no channels", 44100, 0, false},                  {"too many channels", 44100, 257, false},
        {"rate 0", 0, 24, false},                          {"rate too high", 192001, 24, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FSOUND_Init(c.mixRate, c.channels, 0), c.accepted);
        EXPECT_EQ(FSOUND_GetOutputRate(), c.accepted ? c.mixRate : 0);
        FSOUND_Close();
    }
}

TEST(Fsound, RunsOnTheSilentDriverForNoSoundOutputOrWhenTheDriverCannotOpenADevice)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_Init(kRate, kChannels, 0));
    EXPECT_STREQ(FSOUND_GetDriverName(), "dummy");
    FSOUND_Close();
    EXPECT_STREQ(FSOUND_GetDriverName(), "");
    EXPECT_FALSE(FSOUND_SetOutput(7));
    EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(FSOUND_Init(kRate, kChannels, 0));
    EXPECT_STREQ(FSOUND_GetDriverName(), "dummy");
    TempDir dir;
    FSOUND_SAMPLE* sample =
        FSOUND_Sample_Load(FSOUND_FREE, dir.Write("fire.wav", MakeWav(1, 8, 8000, SquareWave(800, 5000))).c_str(), 0, 0, 0);
    EXPECT_NE(sample, nullptr);
    EXPECT_EQ(FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, false), 0);
    FSOUND_Close();
}

}  // namespace
