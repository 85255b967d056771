#include "engine/platform/WavFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "SoundFiles.h"

namespace {

// Every layout's conversion is SampleData's to test; here the format and the bytes as read.
TEST(WavFile, ParsesTheFormatAndKeepsTheSampleBytesAsTheyAre)
{
    const std::vector<uint8_t> bytes = MakeWav(2, 16, 44100, {0x1234, -2, 7, 0});
    WavFile wav;
    ASSERT_TRUE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
    EXPECT_EQ(std::tuple(wav.channels, wav.bitsPerSample, wav.sampleRate, wav.Frames()), std::tuple(2, 16, 44100, size_t{2}));
    EXPECT_EQ(wav.pcm, (std::vector<uint8_t>{0x34, 0x12, 0xFE, 0xFF, 0x07, 0x00, 0x00, 0x00}));
    // An odd number of 8-bit samples is followed by a pad byte that is no sample.
    const std::vector<uint8_t> odd = MakeWav(1, 8, 8000, SquareWave(33, 12000));
    ASSERT_TRUE(WavFile::Parse(odd.data(), odd.size(), &wav));
    EXPECT_EQ(std::tuple(wav.channels, wav.bitsPerSample, wav.sampleRate, wav.Frames()), std::tuple(1, 8, 8000, size_t{33}));
}

TEST(WavFile, AcceptsTheExtensibleFormatWhenItsSubFormatIsPcm)
{
    std::vector<uint8_t> bytes = MakeWav(2, 16, 44100, SquareWave(20, 1000));
    // Grow "fmt " from 16 to 40 bytes: tag 0xFFFE, then extension size, valid bits, channel
    // mask and the sub-format, whose first two bytes name the real format.
    bytes[16] = 40;
    bytes[20] = 0xFE;
    bytes[21] = 0xFF;
    std::vector<uint8_t> extension(24, 0);
    extension[0] = 22;
    extension[2] = 16;
    extension[8] = 1;  // PCM
    bytes.insert(bytes.begin() + 36, extension.begin(), extension.end());
    WavFile wav;
    ASSERT_TRUE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.Frames(), 10u);

    bytes[36 + 8] = 3;  // floating point
    EXPECT_FALSE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
}

TEST(WavFile, SkipsUnknownChunksFindsDataBeforeFormatAndKeepsTheWholeFramesOfADataChunkCutShort)
{
    std::vector<uint8_t> bytes = MakeWav(1, 8, 8000, SquareWave(10, 1000));
    WavFile wav;
    // Put a "LIST" chunk of odd size (with its pad byte) between the header and "fmt ".
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.begin() + 12, list.begin(), list.end());
    ASSERT_TRUE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
    EXPECT_EQ(wav.Frames(), 10u);

    // Move the data chunk (8 + 10 bytes) ahead of the format chunk (8 + 16 bytes).
    std::vector<uint8_t> swapped(bytes.begin(), bytes.begin() + 24);
    swapped.insert(swapped.end(), bytes.begin() + 24 + 24, bytes.end());
    swapped.insert(swapped.end(), bytes.begin() + 24, bytes.begin() + 24 + 24);
    ASSERT_TRUE(WavFile::Parse(swapped.data(), swapped.size(), &wav));
    EXPECT_EQ(wav.Frames(), 10u);

    std::vector<uint8_t> cut = MakeWav(2, 16, 44100, SquareWave(100, 500));
    cut.resize(cut.size() - 10);  // 50 stereo frames of 4 bytes, less 2.5 frames
    ASSERT_TRUE(WavFile::Parse(cut.data(), cut.size(), &wav));
    EXPECT_EQ(wav.Frames(), 47u);
    EXPECT_EQ(wav.pcm.size(), 47u * 4);
}

constexpr size_t kKeep = SIZE_MAX;

// The file is laid out as: 0 "RIFF", 8 "WAVE", 12 "fmt ", 16 its size, 20 format tag,
// 22 channels, 24 rate, 34 bits per sample, 36 "data", 40 its size, 44 the samples.
TEST(WavFile, RefusesWhatIsNotAPlayablePcmSound)
{
    const std::vector<uint8_t> good = MakeWav(1, 16, 22050, SquareWave(20, 1000));
    const struct {
        const char* name;
        size_t cutTo;                // the length to cut the file to; kKeep to keep it whole
        size_t offset;               // where to write bytes
        std::vector<uint8_t> bytes;  // written over the file at offset
    } cases[] = {
        {"empty", 0, 0, {}},
        {"cut inside the RIFF header", 11, 0, {}},
        {"only the RIFF header", 12, 0, {}},
        {"cut inside the format chunk", 30, 0, {}},
        {"no data chunk", 36, 0, {}},
        {"empty data chunk", 44, 0, {}},
        {"data chunk with no whole frame", 45, 0, {}},
        {"not RIFF", kKeep, 0, {'R', 'I', 'F', 'X'}},
        {"not WAVE", kKeep, 8, {'W', 'A', 'V', 'X'}},
        {"format tag 3 (floating point)", kKeep, 20, {3, 0}},
        {"extensible format too short for its sub-format", kKeep, 20, {0xFE, 0xFF}},
        {"three channels", kKeep, 22, {3, 0}},
        {"no channels", kKeep, 22, {0, 0}},
        {"24 bits", kKeep, 34, {24, 0}},
        {"rate 0", kKeep, 24, {0, 0, 0, 0}},
        {"rate 99 Hz", kKeep, 24, {99, 0, 0, 0}},
        {"rate above 384000 Hz", kKeep, 24, {0x01, 0xDC, 0x05, 0x00}},
        {"format chunk of 2 bytes", kKeep, 16, {2, 0, 0, 0}},
        {"format chunk claiming about 4 GB", kKeep, 16, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        if (c.cutTo != kKeep) bytes.resize(c.cutTo);
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
        WavFile wav;
        EXPECT_FALSE(WavFile::Parse(bytes.data(), bytes.size(), &wav));
        EXPECT_EQ(wav.Frames(), 0u);
    }
    WavFile wav;
    EXPECT_FALSE(WavFile::Parse(nullptr, 100, &wav));
    EXPECT_FALSE(WavFile::Parse(good.data(), good.size(), nullptr));
}

TEST(WavFile, LoadFailsForMissingEmptyOversizedAndFolderPaths)
{
    TempDir dir;  // the game's own sounds load in its sound tests
    const std::string empty = dir.Write("empty.wav", std::string());
    const std::string oversized = dir.Path("oversized.wav");
    {
        // A sparse file one byte over the limit, headed like a real sound.
        const std::vector<uint8_t> head = MakeWav(1, 8, 8000, SquareWave(10, 1000));
        dir.Write("oversized.wav", head);
        ASSERT_EQ(truncate(oversized.c_str(), static_cast<off_t>(WavFile::kMaxFileBytes + 1)), 0);
    }
    const std::string paths[] = {dir.Path("missing.wav"), empty, oversized, dir.Path("")};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        WavFile wav;
        EXPECT_FALSE(WavFile::Load(path.c_str(), &wav));
    }
    WavFile wav;
    EXPECT_FALSE(WavFile::Load(nullptr, &wav));
}

}  // namespace
