#include <gtest/gtest.h>

#include <string>

#include "engine/unrarlib/RarFormat.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

TEST(RarWriter, AudioModeRoundTripsWithOneToFourChannelsOfEightAndSixteenBitSamples)
{
    const struct { int channels; int bytesPerSample; } cases[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}, {2, 2}};
    for (const bool solid : {false, true}) {
        for (int forced = 1; forced <= rar::kMaxAudioChannels; ++forced) {
            RarWriter::Options options;
            options.solid = solid;
            options.encoder.forceAudioChannels = forced;
            options.encoder.audioBlockBytes = 5000;  // several table changes per entry
            RarWriter writer(options);
            std::vector<Bytes> samples;
            for (const auto& c : cases) {
                samples.push_back(SampleBytes(4000, c.channels, c.bytesPerSample, static_cast<uint32_t>(c.channels)));
                writer.Add("s" + std::to_string(samples.size()) + ".raw", samples.back());
            }
            int audioEntries = 0;
            for (size_t i = 0; i < samples.size(); ++i) {
                SCOPED_TRACE("entry " + std::to_string(i) + " coded with " + std::to_string(forced) + " channels" +
                             (solid ? ", solid" : ""));
                // Outside a solid archive an entry that audio mode would grow is stored instead.
                const RarWriter::Entry& entry = writer.Entries()[i];
                EXPECT_TRUE(entry.audio || (!solid && entry.method == rar::kMethodStored));
                audioEntries += entry.audio ? 1 : 0;
                const Extraction got = ExtractFromMemory(writer.Bytes(), "s" + std::to_string(i + 1) + ".raw");
                ASSERT_TRUE(got.ok);
                EXPECT_EQ(got.bytes, samples[i]);
            }
            EXPECT_GE(audioEntries, 3);
        }
    }
}

TEST(RarWriter, SampleDataPicksAudioModeWhenItPacksSmallerThanLz)
{
    RarWriter writer;
    const Bytes stereo16 = SampleBytes(30000, 2, 2, 11);
    writer.Add("music.raw", stereo16);
    writer.Add("text.txt", TextBytes(30000, 11));
    EXPECT_TRUE(writer.Entries()[0].audio);
    EXPECT_FALSE(writer.Entries()[1].audio);

    RarWriter::Options lzOnly;
    lzOnly.encoder.tryAudio = false;
    RarWriter lzWriter(lzOnly);
    lzWriter.Add("music.raw", stereo16);
    EXPECT_LT(writer.Entries()[0].packedSize, lzWriter.Entries()[0].packedSize);
    const Extraction got = ExtractFromMemory(writer.Bytes(), "music.raw");
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.bytes, stereo16);
}

// A random block, 1 MB of random filler, the block again (exactly 1 MB back), one more byte and a
// copy of what lies 1 MB - 1 back; with repeats set to false the copies are fresh noise instead.
Bytes FarRepeats(bool repeats)
{
    const Bytes block = RandomBytes(4096, 21);
    Bytes data = block;
    const Bytes filler = RandomBytes(rar::kWindowSize - block.size() + 1, 22);
    data.insert(data.end(), filler.begin(), filler.end() - 1);
    const Bytes noise = RandomBytes(4096, 23);
    data.insert(data.end(), (repeats ? block : noise).begin(), (repeats ? block : noise).end());
    data.push_back(filler.back());
    const size_t from = data.size() - (rar::kWindowSize - 1);
    Bytes copy(data.begin() + static_cast<std::ptrdiff_t>(from), data.begin() + static_cast<std::ptrdiff_t>(from + 4096));
    if (!repeats) copy = RandomBytes(4096, 24);
    data.insert(data.end(), copy.begin(), copy.end());
    return data;
}

TEST(RarWriter, MatchesReachBackTheWholeWindowInDataOverOneMegabyte)
{
    const Bytes data = FarRepeats(true);
    RarWriter::Options packAlways;  // a solid archive never falls back to storing
    packAlways.solid = true;
    RarWriter writer(packAlways);
    RarWriter control(packAlways);
    ASSERT_TRUE(writer.Add("far.bin", data));
    ASSERT_TRUE(control.Add("far.bin", FarRepeats(false)));
    EXPECT_EQ(writer.Entries()[0].method, RarWriter::kMethodNormal);
    // Each copy saves about 4 KB; only both together save more than 7000 bytes.
    EXPECT_LT(writer.Entries()[0].packedSize + 7000, control.Entries()[0].packedSize);
    const Extraction got = ExtractFromMemory(writer.Bytes(), "far.bin");
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.bytes, data);
}

TEST(RarWriter, SolidEntriesPackAgainstTheEntriesBeforeThem)
{
    const Bytes text = TextBytes(20000, 31);
    RarWriter solid(Packing(false, true));
    RarWriter plain;
    for (RarWriter* writer : {&solid, &plain}) {
        writer->Add("one.txt", text);
        writer->Add("two.txt", text);
    }
    EXPECT_FALSE(solid.Entries()[0].solid);
    EXPECT_TRUE(solid.Entries()[1].solid);
    EXPECT_LT(solid.Entries()[1].packedSize, 100u);
    EXPECT_GT(plain.Entries()[1].packedSize, 1000u);
    for (const char* name : {"one.txt", "two.txt"}) {
        const Extraction got = ExtractFromMemory(solid.Bytes(), name);
        ASSERT_TRUE(got.ok) << name;
        EXPECT_EQ(got.bytes, text);
    }
}

TEST(RarWriter, HeadersCarryVersionTwentyUnixHostTimeAndCrc)
{
    RarWriter writer;
    const Bytes data = TextBytes(100, 41);
    const uint32_t time = RarWriter::DosTime(1700000000);
    writer.Add("dir/file.txt", data, time);
    const Bytes& bytes = writer.Bytes();
    const size_t h = kFirstHeader;
    EXPECT_EQ(bytes[h + 2], rar::kFileHeaderType);
    EXPECT_EQ(bytes[h + 15], RarWriter::kHostUnix);
    EXPECT_EQ(bytes[h + 24], 20);
    const auto u32At = [&](size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(u32At(h + 20), time);
    EXPECT_GE(time >> 25, 2023u - 1980u);
    EXPECT_EQ(u32At(h + 16), Crc32(data.data(), data.size()));
    Bytes copy = bytes;
    ResealHeader(copy, h);
    EXPECT_EQ(copy, bytes);  // the header CRC was already right
    EXPECT_EQ(std::string(bytes.begin() + h + 32, bytes.begin() + h + 32 + 12), "dir/file.txt");
}

TEST(RarWriter, RefusesNamesTheHeaderCannotHold)
{
    RarWriter writer;
    EXPECT_FALSE(writer.Add("", Bytes{1}));
    EXPECT_FALSE(writer.Add(std::string(0x10000, 'x'), Bytes{1}));
    EXPECT_TRUE(writer.Entries().empty());
}

}  // namespace
