#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "engine/platform/Mixer.h"
#include "engine/platform/ModuleSong.h"
#include "engine/platform/WavFile.h"
#include "tools/sound/LevelMeter.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"

// The files the build made beside the executables, checked the way the game uses them.
namespace {

const std::string kBuilt = HARN_BINARY_DIR;
const std::string kModule = kBuilt + "/ZEZIZIV5.it";
constexpr int kRate = 22050;  // Hz: enough to judge levels, and quick

TEST(GameSound, TheEffectsLoadAsShortMonoSoundsAt44100HzThatNeverClip)
{
    struct Effect {
        const char* file;
        double shortest, longest;  // s
    };
    for (const Effect& effect : {Effect{"fire.wav", 0.1, 0.2}, Effect{"explosion.wav", 1.3, 1.7}}) {
        SCOPED_TRACE(effect.file);
        WavFile wav;
        ASSERT_TRUE(WavFile::Load((kBuilt + "/" + effect.file).c_str(), &wav));
        EXPECT_EQ(std::make_tuple(wav.channels, wav.bitsPerSample, wav.sampleRate), std::make_tuple(1, 16, 44100));
        const double seconds = static_cast<double>(wav.Frames()) / wav.sampleRate;
        EXPECT_GE(seconds, effect.shortest);
        EXPECT_LE(seconds, effect.longest);
        LevelMeter meter(wav.sampleRate);
        for (size_t i = 0; i + 1 < wav.pcm.size(); i += 2) {
            const int16_t value = static_cast<int16_t>(wav.pcm[i] | (wav.pcm[i + 1] << 8));
            const int16_t frame[2] = {value, value};
            meter.Add(frame, 1);
        }
        EXPECT_LT(meter.PeakDb(), -0.5);
        EXPECT_GT(meter.PeakDb(), -12.0) << "loud enough to hear";
    }
}

// A piece of the module: its run of orders and how long one round of it lasts.
struct Piece {
    const char* name;
    int first, last;
    double shortestLoop, longestLoop;  // s
    bool endsInSilence;
};

const Piece kPieces[] = {
    {"title", 0, 10, 60, 90, false},   {"level", 11, 17, 90, 120, false}, {"boss", 18, 26, 40, 60, false},
    {"destroyed", 27, 28, 0, 0, true}, {"credits", 29, 254, 40, 60, false},
};

struct Playback {
    std::vector<int> orders;  // every tenth of a second
    double loopSeconds = 0;   // when the first order came round again; 0 if it never did
    LevelMeter level{kRate};
    LevelMeter tail{kRate};   // the last second
};

Playback Play(const std::string& path, int order, double seconds)
{
    Playback playback;
    std::unique_ptr<ModuleSong> song = ModuleSong::FromFile(path.c_str());
    if (song == nullptr) return playback;
    song->SetLooping(true);
    song->Restart();
    song->SetOrder(order);
    Mixer mixer(1, kRate);
    mixer.AddSong(song.get());
    std::vector<int16_t> block(kRate / 10 * 2);
    bool left = false;
    for (int step = 1; step <= static_cast<int>(seconds * 10); ++step) {
        mixer.Mix(block.data(), kRate / 10);
        playback.level.Add(block.data(), kRate / 10);
        if (step > (seconds - 1) * 10) playback.tail.Add(block.data(), kRate / 10);
        playback.orders.push_back(song->Order());
        left = left || song->Order() != order;
        if (left && song->Order() == order && playback.loopSeconds == 0) playback.loopSeconds = step / 10.0;
    }
    return playback;
}

TEST(GameSound, EachPieceLoopsWithinItsOrdersForTwoRoundsAtAMatchedLevelWithoutClippingOrGaps)
{
    std::vector<double> loudness;
    for (const Piece& piece : kPieces) {
        SCOPED_TRACE(piece.name);
        const double seconds = piece.endsInSilence ? 8.0 : 2 * piece.longestLoop;
        const Playback playback = Play(kModule, piece.first, seconds);
        ASSERT_FALSE(playback.orders.empty());
        for (int order : playback.orders) {
            ASSERT_GE(order, piece.first);
            ASSERT_LE(order, piece.last);
        }
        EXPECT_FALSE(playback.level.Clipped());
        EXPECT_LT(playback.level.PeakDb(), -1.0);
        if (piece.endsInSilence) {
            EXPECT_EQ(playback.orders.back(), piece.last) << "the silence holds its own order";
            EXPECT_LT(playback.tail.RmsDb(), LevelMeter::kSilenceDb);
            EXPECT_GT(playback.level.RmsDb(), -35.0) << "the sting is heard";
            continue;
        }
        EXPECT_GE(playback.loopSeconds, piece.shortestLoop);
        EXPECT_LE(playback.loopSeconds, piece.longestLoop);
        EXPECT_LE(playback.level.LongestSilence(), 1.0);
        loudness.push_back(playback.level.RmsDb());
    }
    const double mean = std::accumulate(loudness.begin(), loudness.end(), 0.0) / static_cast<double>(loudness.size());
    for (double rms : loudness) EXPECT_NEAR(rms, mean, 3.0);
    // A jump to a piece plays the song from order 0 for a moment before moving it: that moment is quiet.
    EXPECT_LT(Play(kModule, 0, 0.1).level.PeakDb(), -30.0);
}

TEST(GameSound, HarntoolPlaysAPieceIntoAWavAndRefusesWhatItCannotPlay)
{
    TempFolder dir("harntool-music");
    const std::string wav = dir / "sting.wav", harntool = kBuilt + "/harntool music ";
    const CommandResult played = RunCommand(harntool + kModule + " --order 27 --seconds 2 --wav " + wav + " 2>/dev/null");
    ASSERT_EQ(played.status, 0);
    EXPECT_NE(played.output.find("playing from order 27 for 2 s"), std::string::npos) << played.output;
    WavFile mix;
    ASSERT_TRUE(WavFile::Load(wav.c_str(), &mix));
    EXPECT_EQ(std::make_tuple(mix.channels, mix.sampleRate, mix.Frames()), std::make_tuple(2, 44100, size_t{88200}));
    const std::pair<std::string, int> refusals[] = {{dir / "missing.it", 1},       {kBuilt + "/fire.wav", 1},
                                                    {kModule + " --order 200", 1},  {kModule + " --seconds -1", 2},
                                                    {kModule + " --loud", 2},       {"", 2}};
    for (const auto& [args, status] : refusals) EXPECT_EQ(RunCommand(harntool + args + " >/dev/null 2>&1").status, status) << args;
}

TEST(GameSound, TheGeneratorMakesTheSameBytesEveryTime)
{
    TempFolder dir("zelmar-sound-again");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(HARN_SOURCE_DIR "/data/music"))
        if (entry.path().extension() == ".score") names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    std::string scores;
    for (const std::string& name : names) scores += " " + name;
    ASSERT_EQ(RunCommand(kBuilt + "/tools/sound/zelmar_sound " + dir.Path().string() + scores + " >/dev/null 2>&1").status, 0);
    for (const char* file : {"fire.wav", "explosion.wav", "ZEZIZIV5.it"}) EXPECT_EQ(TempFolder::Read(dir / file), TempFolder::Read(kBuilt + "/" + file)) << file;
}

}  // namespace
