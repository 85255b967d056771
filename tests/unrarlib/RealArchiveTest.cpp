#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarDirectory.h"
#include "engine/unrarlib/RarExtract.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tests/unrarlib/TempFolder.h"

using namespace archive_test;

namespace {

const std::filesystem::path kRarData = std::filesystem::path(HARN_TESTDATA_DIR) / "rar";

class RealArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(kRarData)) GTEST_SKIP() << "no RAR test data at " << kRarData;
    }
};

TEST_F(RealArchive, EveryEntryGivesTheExpectedBytesOrFailsCleanly)
{
    const struct {
        const char* archive;
        const char* name;
        const char* expectedFile;  // null: the extraction must fail
        const char* password = nullptr;
    } cases[] = {
        {"test_v2.rar", "p0.bin", "etalon.bin"}, {"test_v2.rar", "p1.bin", "etalon.bin"}, {"test_v2.rar", "p2.bin", "etalon.bin"},
        {"test_v2.rar", "p3.bin", "etalon.bin"}, {"test_v2.rar", "p4.bin", "etalon.bin"}, {"test_v2.rar", "p5.bin", "etalon.bin"},
        {"test_v2.rar", "pMM.bin", "etalon.bin"},    {"test_v2solid5.rar", "p5.bin", "etalon.bin"},
        {"test_v2solid5.rar", "p5_solid.bin", "etalon.bin"},
        {"boat-audio-unpack20.rar", "BoatModernEnglish.wav", "BoatModernEnglish.wav"},
        {"boat-audio-unpack20.rar", "boatmodernenglish.WAV", "BoatModernEnglish.wav"},  // names ignore case
        {"rar20-password-compressed.rar", "SECRET.TXT", nullptr},  // encrypted, with or without a password
        {"rar20-password-compressed.rar", "SECRET.TXT", nullptr, ""},
        {"rar20-password-compressed.rar", "SECRET.TXT", nullptr, "password"},
        {"void-dist-v20.rar", "void20", nullptr},
        {"test_v2.rar", "missing.bin", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + " " + c.name);
        const Extraction got = ExtractFromFile((kRarData / c.archive).string(), c.name, c.password);
        EXPECT_TRUE(got.terminated);  // NUL behind the data, or null and 0 on failure
        if (c.expectedFile == nullptr) {
            EXPECT_FALSE(got.ok);
            continue;
        }
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.bytes, TempFolder::Read(kRarData / c.expectedFile));
    }
}

TEST_F(RealArchive, ListingShowsMethodsVersionsAndSolidEntries)
{
    std::vector<RarEntryInfo> entries;
    bool solid = false;
    ASSERT_TRUE(RarListEntries((kRarData / "test_v2.rar").string().c_str(), entries, solid));
    EXPECT_FALSE(solid);
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(entries[i].name, "p" + std::to_string(i) + ".bin");
        EXPECT_EQ(entries[i].method, 0x30 + i);
        EXPECT_EQ(entries[i].unpackVersion, 20);
        EXPECT_EQ(entries[i].fileCrc, 0x10751abau);
        EXPECT_TRUE(entries[i].headerCrcMatches);
    }
    ASSERT_TRUE(RarListEntries((kRarData / "test_v2solid5.rar").string().c_str(), entries, solid));
    EXPECT_TRUE(solid);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].solid);
    EXPECT_TRUE(entries[1].solid);
    EXPECT_EQ(entries[1].packedSize, 50u);
    EXPECT_FALSE(RarListEntries((kRarData / "SOURCES.md").string().c_str(), entries, solid));
}

}  // namespace
