#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "engine/unrarlib/RarDebugLog.h"
#include "engine/unrarlib/RarExtract.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

TEST(RarDebugLog, StartsWithTheBannerAndStampsEveryMessage)
{
    TempFolder folder("debuglog");
    RarDebugLog log;
    log.Start(folder.Path().string());
    ASSERT_TRUE(log.Enabled());
    RAR_LOG(log, "file header broken");
    RAR_LOGF(log, "Extracted %u Bytes.", 42u);
    const std::vector<uint8_t> bytes = TempFolder::Read(folder / RarDebugLog::kFileName);
    const std::string text(bytes.begin(), bytes.end());
    const std::regex expected(
        "Debug log of Kalvor's RADErizEza\n~\\^~{28}\\^~\n"
        "\\(executable compiled on [A-Z][a-z]{2} [ 0-9]\\d \\d{4} at \\d\\d:\\d\\d:\\d\\d\\)\n\n"
        " {1,8}\\d+ ms \\(line \\d+ in .*RarDebugLogTest\\.cpp\\):\n {14}- file header broken\n"
        " {1,8}\\d+ ms \\(line \\d+ in .*RarDebugLogTest\\.cpp\\):\n {14}- Extracted 42 Bytes\\.\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(RarDebugLog, WithoutItsFolderWritesNothing)
{
    TempFolder folder("nolog");
    const std::string missing = folder / "absent";
    RarDebugLog log;
    log.Start(missing);
    EXPECT_TRUE(log.Started());
    EXPECT_FALSE(log.Enabled());
    RAR_LOG(log, "nothing");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(RarDebugLog, TheReaderNeverCreatesAFileNamedAfterTheWindowsPath)
{
    char* data = nullptr;
    unsigned long size = 0;
    EXPECT_EQ(RarExtract(&data, &size, "x", "/no/such/archive.qzr", nullptr), 0);
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path()))
        EXPECT_EQ(entry.path().filename().string().find('\\'), std::string::npos) << entry.path();
}

}  // namespace
