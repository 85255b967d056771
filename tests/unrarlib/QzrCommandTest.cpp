#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/unrarlib/Crc32.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

const std::string kHarntool = std::string(HARN_BINARY_DIR) + "/harntool";

std::string Hex8(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof(text), "%08x", value);
    return text;
}

// The third tab-separated field of a listing line.
std::string PackedField(const std::string& line)
{
    const size_t first = line.find('\t');
    const size_t second = line.find('\t', first + 1);
    const size_t third = line.find('\t', second + 1);
    return line.substr(second + 1, third - second - 1);
}

class Qzr : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kHarntool)) GTEST_SKIP() << "harntool not built at " << kHarntool;
        folder_.Write("src/level.lvl", level_);
        folder_.Write("src/models/ship.3df", model_);
    }
    // Runs harntool in the test's folder.
    CommandResult Harntool(const std::string& arguments)
    {
        return RunCommand("cd " + Quote(folder_.Path().string()) + " && " + Quote(kHarntool) + " qzr " + arguments);
    }

    TempFolder folder_{"qzr"};
    const Bytes level_ = TextBytes(4000, 1);
    const Bytes model_ = RandomBytes(3000, 2);
};

TEST_F(Qzr, CreateThenListShowsEveryEntryWithSizesCrcMethodVersionAndSolidity)
{
    for (const std::string flags : {"", "--store", "--solid", "--store --solid"}) {
        SCOPED_TRACE(flags);
        ASSERT_EQ(Harntool("create " + flags + " data.qzr src/level.lvl ./src/models/ship.3df").status, 0);
        const CommandResult listing = Harntool("list data.qzr");
        ASSERT_EQ(listing.status, 0);
        std::istringstream lines(listing.output);
        std::string level, model, extra;
        std::getline(lines, level);
        std::getline(lines, model);
        EXPECT_FALSE(std::getline(lines, extra)) << "one line per entry";
        const bool store = flags.find("--store") != std::string::npos;
        const bool solid = flags.find("--solid") != std::string::npos && !store;
        EXPECT_EQ(level, "src/level.lvl\t" + std::to_string(level_.size()) + "\t" + PackedField(level) + "\t" +
                             Hex8(Crc32(level_.data(), level_.size())) + (store ? "\t0x30" : "\t0x33") + "\t20\t-");
        EXPECT_EQ(model, "src/models/ship.3df\t" + std::to_string(model_.size()) + "\t" + PackedField(model) + "\t" +
                             Hex8(Crc32(model_.data(), model_.size())) +
                             // random bytes are stored unless a solid archive needs them in its window
                             (solid ? "\t0x33" : "\t0x30") + "\t20\t" +
                             (solid ? "solid" : "-"));
        if (store) {
            EXPECT_EQ(PackedField(level), std::to_string(level_.size()));
        }
    }
}

// The first entry is a folder in a solid archive.
TEST_F(Qzr, CatWritesOneEntryAsTheGameReadsItAndExtractWritesEveryEntryUnderTheFolder)
{
    RarWriter writer(Packing(false, true));
    writer.Add("models", {});
    writer.Add("models/ship.3df", model_);
    writer.Add("src/level.lvl", level_);
    Bytes archive = writer.Bytes();
    archive[kFirstHeader + 3] |= 0xE0;  // the folder flags of the first entry
    ResealHeader(archive, kFirstHeader);
    folder_.Write("data.qzr", archive);
    const CommandResult cat = Harntool("cat data.qzr 'MODELS\\SHIP.3DF'");
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(Bytes(cat.output.begin(), cat.output.end()), model_);
    ASSERT_EQ(Harntool("extract data.qzr out").status, 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder_.Path() / "out/models"));
    EXPECT_EQ(TempFolder::Read(folder_ / "out/models/ship.3df"), model_);
    EXPECT_EQ(TempFolder::Read(folder_ / "out/src/level.lvl"), level_);
}

TEST_F(Qzr, ExtractRefusesNamesThatWouldLeaveTheFolder)
{
    RarWriter writer;
    for (const char* name : {"../escape.txt", "/tmp/absolute.txt", "a/../../up.txt", "..\\back.txt", "fine.txt"})
        writer.Add(name, TextBytes(10, 3));
    ASSERT_TRUE(writer.WriteFile(folder_ / "evil.qzr"));
    std::filesystem::create_directories(folder_.Path() / "deep/out");
    const CommandResult result =
        RunCommand("cd " + Quote((folder_.Path() / "deep").string()) + " && " + Quote(kHarntool) + " qzr extract ../evil.qzr out 2>&1");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "deep/out/fine.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "deep/escape.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "up.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "deep/back.txt"));
    EXPECT_NE(result.output.find("escape.txt"), std::string::npos);
}

// Status 1 for what cannot be done, with one line on standard error; 2 for bad usage.
TEST_F(Qzr, RefusesFilesOutsideTheCurrentFolderMissingEntriesAndBadUsage)
{
    ASSERT_EQ(Harntool("create data.qzr src/level.lvl").status, 0);
    const struct { const char* arguments; int status; } cases[] = {
        {"create new.qzr ../outside.txt", 1}, {"create new.qzr src/absent.txt", 1}, {"create new.qzr src/models", 1},
        {"create --fast new.qzr src/level.lvl", 2}, {"list", 2}, {"list src/level.lvl", 1},
        {"cat data.qzr nothing.txt", 1}, {"cat missing.qzr level.lvl", 1}};
    for (const auto& c : cases) {
        const CommandResult result = Harntool(std::string(c.arguments) + " 2>&1 >/dev/null");
        EXPECT_EQ(result.status, c.status) << c.arguments;
        if (c.status == 1) {
            ASSERT_FALSE(result.output.empty()) << c.arguments;
            EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
        }
    }
}

TEST_F(Qzr, TheReaderLogsEachExtractionWhenItsDebugFolderExists)
{
    const std::filesystem::path debugFolder = "/tmp/harnengine-debug";
    const bool created = std::filesystem::create_directories(debugFolder);
    ASSERT_EQ(Harntool("create data.qzr src/level.lvl").status, 0);
    ASSERT_EQ(Harntool("cat data.qzr src/level.lvl >/dev/null").status, 0);
    ASSERT_EQ(Harntool("cat data.qzr absent.txt 2>/dev/null").status, 1);
    std::ifstream in(debugFolder / "debug_unrar.txt");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (created) std::filesystem::remove_all(debugFolder);
    // Each harntool run starts the log afresh; this is the second run's.
    EXPECT_EQ(log.rfind("Debug log of Kalvor's RADErizEza\n", 0), 0u) << log;
    EXPECT_NE(log.find("- Extracting >absent.txt< from >data.qzr< (password is ><)...\n"), std::string::npos) << log;
    EXPECT_NE(log.find("- Error - couldn't extract >absent.txt< and allocated 0 Bytes of unused memory!\n"),
              std::string::npos)
        << log;
}

}  // namespace
