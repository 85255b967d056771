#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarDirectory.h"
#include "engine/unrarlib/RarExtract.h"

namespace {

const std::filesystem::path kRarData = std::filesystem::path(HARN_TESTDATA_DIR) / "rar";

std::vector<char> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Extracts one entry, checking the result contract: NUL behind the data, or null and 0 on failure.
struct Extracted {
    bool ok = false;
    std::vector<char> bytes;
};

Extracted Extract(const std::string& archive, const std::string& name, const char* password)
{
    char* data = nullptr;
    unsigned long size = 12345;
    Extracted result;
    const std::string path = (kRarData / archive).string();
    result.ok = RarExtract(&data, &size, name.c_str(), path.c_str(), password) != 0;
    if (result.ok) {
        EXPECT_NE(data, nullptr);
        EXPECT_EQ(data[size], '\0');
        result.bytes.assign(data, data + size);
    } else {
        EXPECT_EQ(data, nullptr);
        EXPECT_EQ(size, 0u);
    }
    std::free(data);
    return result;
}

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
        const Extracted got = Extract(c.archive, c.name, c.password);
        if (c.expectedFile == nullptr) {
            EXPECT_FALSE(got.ok);
            continue;
        }
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.bytes, ReadFile(kRarData / c.expectedFile));
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
