#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The version, check sum and name are read back through the listings and bsdtar; here the rest.
TEST(RarWriter, HeadersCarryTheUnixHostTheTimeAndARightHeaderCrc)
{
    RarWriter writer;
    const uint32_t time = RarWriter::DosTime(1700000000);
    writer.Add("dir/file.txt", TextBytes(100, 41), time);
    const Bytes& bytes = writer.Bytes();
    const size_t h = kFirstHeader;
    EXPECT_EQ(bytes[h + 15], RarWriter::kHostUnix);
    EXPECT_EQ(bytes[h + 20] | bytes[h + 21] << 8 | bytes[h + 22] << 16 | uint32_t(bytes[h + 23]) << 24, time);
    EXPECT_GE(time >> 25, 2023u - 1980u);
    Bytes copy = bytes;
    ResealHeader(copy, h);
    EXPECT_EQ(copy, bytes);
}

TEST(RarWriter, RefusesNamesTheHeaderCannotHold)
{
    RarWriter writer;
    EXPECT_FALSE(writer.Add("", Bytes{1}));
    EXPECT_FALSE(writer.Add(std::string(0x10000, 'x'), Bytes{1}));
    EXPECT_TRUE(writer.Entries().empty());
}

struct RoundTripCase {
    const char* what;
    Bytes data;
};

std::vector<RoundTripCase> Cases()
{
    Bytes runs;
    for (int i = 0; i < 40; ++i) runs.insert(runs.end(), static_cast<size_t>(1000 + i * 37), static_cast<uint8_t>(i * 11));
    Bytes mixed = TextBytes(30000, 1);
    const Bytes random = RandomBytes(20000, 2);
    mixed.insert(mixed.end(), random.begin(), random.end());
    mixed.insert(mixed.end(), mixed.begin(), mixed.begin() + 25000);
    return {
        {"empty", {}},
        {"one byte", {0x42}},
        {"two bytes", {0x00, 0xFF}},
        {"text", TextBytes(50000, 7)},
        {"random bytes", RandomBytes(70000, 3)},
        {"long runs", runs},
        {"one long run", Bytes(300000, 0xAA)},
        {"mixed text, noise and repeats", mixed},
        {"8-bit stereo samples", SampleBytes(20000, 2, 1, 4)},
        {"16-bit mono samples", SampleBytes(20000, 1, 2, 5)},
    };
}

TEST(RarRoundTrip, EveryKindOfDataComesBackByteForByteStoredCompressedAndSolid)
{
    for (const bool store : {false, true}) {
        for (const bool solid : {false, true}) {
            RarWriter writer(Packing(store, solid));
            const std::vector<RoundTripCase> cases = Cases();
            for (const RoundTripCase& c : cases) ASSERT_TRUE(writer.Add(std::string(c.what) + ".bin", c.data));
            for (const RoundTripCase& c : cases) {
                SCOPED_TRACE(std::string(c.what) + (store ? " stored" : " packed") + (solid ? " solid" : ""));
                const Extraction got = ExtractFromMemory(writer.Bytes(), std::string(c.what) + ".bin");
                ASSERT_TRUE(got.ok);
                EXPECT_TRUE(got.terminated);
                EXPECT_EQ(got.bytes, c.data);
            }
        }
    }
}

TEST(RarRoundTrip, CompressionShrinksTextAndRuns)
{
    RarWriter writer;
    const Bytes text = TextBytes(100000, 9);
    ASSERT_TRUE(writer.Add("text.txt", text));
    ASSERT_TRUE(writer.Add("zeros.bin", Bytes(100000, 0)));
    const auto& entries = writer.Entries();
    EXPECT_EQ(entries[0].method, RarWriter::kMethodNormal);
    EXPECT_LT(entries[0].packedSize, text.size() / 4);
    EXPECT_LT(entries[1].packedSize, 200u);
}

}  // namespace
