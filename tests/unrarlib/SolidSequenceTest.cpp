#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/unrarlib/RarArchive.h"
#include "engine/unrarlib/RarSolidCache.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

// Writes a solid archive of text entries "e0", "e1", ... and returns their contents.
std::vector<Bytes> WriteSolid(const std::string& path, uint32_t seed, int count)
{
    RarWriter writer(Packing(false, true));
    std::vector<Bytes> contents;
    for (int i = 0; i < count; ++i) {
        contents.push_back(TextBytes(2000 + static_cast<size_t>(i) * 300 + seed, seed + static_cast<uint32_t>(i)));
        writer.Add("e" + std::to_string(i), contents.back());
    }
    EXPECT_TRUE(writer.WriteFile(path));
    return contents;
}

// Requests in any order, for missing entries (-1) and for entries of another archive (-2) between
// them, and of an archive rewritten in place: each is read as it is now and a failure spoils nothing.
TEST(RarSolidSequence, EntriesComeOutRightInEveryOrderAcrossArchivesFailuresAndRewrites)
{
    TempFolder folder("solid");
    const std::string path = folder / "solid.qzr", other = folder / "other.qzr";
    std::vector<Bytes> contents = WriteSolid(path, 1, 8);
    const std::vector<Bytes> others = WriteSolid(other, 2, 4);
    std::vector<int> order = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, -1, 5, 4, -2, 3, 2, 1, 0, 3, 3, -1, 5, 1, 7};
    std::mt19937 random(5);
    for (int i = 0; i < 20; ++i) order.push_back(static_cast<int>(random() % 8));
    for (const int index : order) {
        SCOPED_TRACE(index);
        if (index == -2) {
            EXPECT_EQ(ExtractFromFile(other, "e2").bytes, others[2]);
            continue;
        }
        const Extraction got = ExtractFromFile(path, index < 0 ? "missing" : "E" + std::to_string(index));
        ASSERT_EQ(got.ok, index >= 0);
        if (got.ok) {
            EXPECT_EQ(got.bytes, contents[static_cast<size_t>(index)]);
        }
    }
    contents = WriteSolid(path, 3, 5);
    EXPECT_EQ(ExtractFromFile(path, "e1").bytes, contents[1]);
    EXPECT_EQ(ExtractFromFile(path, "e4").bytes, contents[4]);
}

TEST(RarSolidSequence, LongArchivesOfTextAndSoundComeOutRightInEveryOrder)
{
    // About 3 MB, so that the reader keeps copies of its state part way through.
    TempFolder folder("solidlong");
    const std::string path = folder / "long.qzr";
    RarWriter::Options options;
    options.solid = true;
    options.encoder.optimalParse = false;  // packing speed matters more here than size
    options.encoder.maxChain = 8;
    RarWriter writer(options);
    std::vector<Bytes> contents;
    for (int i = 0; i < 12; ++i) {
        contents.push_back(i % 3 == 0 ? SampleBytes(90000, 2, 2, static_cast<uint32_t>(i))
                                      : TextBytes(300000, static_cast<uint32_t>(i)));
        writer.Add("e" + std::to_string(i), contents.back());
    }
    ASSERT_TRUE(writer.WriteFile(path));
    // The first entry is sound, so that reading it again after the others needs the audio
    // predictors as a fresh reader has them.
    EXPECT_TRUE(writer.Entries()[0].audio);
    for (const int index : {11, 10, 3, 4, 9, 0, 8, 2, 7, 1, 6, 5, 5, 11}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ExtractFromFile(path, "e" + std::to_string(index)).bytes, contents[static_cast<size_t>(index)]);
    }
}

TEST(RarSolidCache, KeepsAFewCheckpointsOfTheArchiveInUseAndFindsTheLastBeforeABlock)
{
    Rar20Decoder decoder;
    ASSERT_TRUE(decoder.Allocate());
    RarSolidCache cache;
    cache.Use(RarArchiveIdentity{1, 2, 3, 4});
    for (uint64_t block = 100; block <= 1000; block += 100) cache.Add(block, decoder);
    EXPECT_LE(cache.Count(), RarSolidCache::kMaxCheckpoints);
    EXPECT_EQ(cache.Before(99), nullptr);
    ASSERT_NE(cache.Before(1000), nullptr);
    EXPECT_EQ(cache.Before(1000)->nextBlock, 1000u);  // the newest survives thinning
    const RarCheckpoint* middle = cache.Before(650);
    ASSERT_NE(middle, nullptr);
    EXPECT_LE(middle->nextBlock, 650u);
    EXPECT_GE(middle->nextBlock, 500u);
    cache.Use(RarArchiveIdentity{1, 2, 3, 4});
    EXPECT_NE(cache.Before(1000), nullptr);
    cache.Use(RarArchiveIdentity{1, 2, 3, 5});  // the file changed
    EXPECT_EQ(cache.Count(), 0u);
}

TEST(RarExtractThreads, ConcurrentCallsTakeTurnsAndAllSucceed)
{
    RarWriter writer(Packing(false, true));
    std::vector<Bytes> contents;
    for (int i = 0; i < 4; ++i) {
        contents.push_back(TextBytes(5000, static_cast<uint32_t>(i)));
        writer.Add("t" + std::to_string(i), contents.back());
    }
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                const int index = (t + round) % 4;
                const Extraction got = ExtractFromMemory(writer.Bytes(), "t" + std::to_string(index));
                if (!got.ok || got.bytes != contents[static_cast<size_t>(index)]) ++failures[static_cast<size_t>(t)];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST(RarNames, MatchIgnoringCaseAndTheDirectionOfSlashes)
{
    const struct { const char* entry; const char* requested; bool matches; } cases[] = {
        {"data\\Level.3df", "DATA/level.3DF", true},
        {"data/level.3df", "data\\level.3df", true},
        {"data_level.3df", "data/level.3df", true},
        {"data/level.3df", "data/level.3d", false},
        {"data/level.3df", "data/level.3dfx", false},
        {"", "", true},
        {"a", "", false},
        {"\xC9t\xE9.txt", "\xC9T\xE9.TXT", true},
    };
    for (const auto& c : cases) EXPECT_EQ(RarNamesMatch(c.entry, c.requested), c.matches) << c.entry << " / " << c.requested;
}

}  // namespace
