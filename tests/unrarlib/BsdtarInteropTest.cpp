#include <gtest/gtest.h>

#include <filesystem>

#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

class Bsdtar : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!ProgramOnPath("bsdtar")) GTEST_SKIP() << "bsdtar not installed (scripts/setup installs libarchive-tools)";
    }
};

TEST_F(Bsdtar, ListsOurArchivesAndExtractsTheirStoredEntriesByteForByte)
{
    TempFolder folder("bsdtar");
    const std::vector<std::pair<std::string, Bytes>> entries = {
        {"readme.txt", TextBytes(3000, 1)},
        {"data/noise.bin", RandomBytes(5000, 2)},
        {"data/levels/teste.lvl", TextBytes(700, 3)},
        {"empty.txt", {}},
    };
    for (const bool store : {true, false}) {
        SCOPED_TRACE(store ? "stored" : "compressed");
        RarWriter writer(Packing(store, false));
        for (const auto& [name, data] : entries) ASSERT_TRUE(writer.Add(name, data));
        const std::string archive = folder / (store ? "stored.qzr" : "packed.qzr");
        ASSERT_TRUE(writer.WriteFile(archive));

        const CommandResult listing = RunCommand("bsdtar -tf " + Quote(archive) + " 2>&1");
        EXPECT_EQ(listing.status, 0) << listing.output;
        std::string expected;
        for (const auto& entry : entries) expected += entry.first + "\n";
        EXPECT_EQ(listing.output, expected);
        if (!store) continue;

        const std::string out = folder / "out";
        std::filesystem::create_directories(out);
        const CommandResult extraction = RunCommand("bsdtar -xf " + Quote(archive) + " -C " + Quote(out) + " 2>&1");
        ASSERT_EQ(extraction.status, 0) << extraction.output;
        for (const auto& [name, data] : entries) EXPECT_EQ(TempFolder::Read(out + "/" + name), data) << name;
    }
}

}  // namespace
