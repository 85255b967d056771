#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct RunResult {
    int status;
    std::string out;
};

// Runs harntool with the given arguments; standard error goes to the given file.
RunResult RunHarntool(const std::string& args, const std::string& errPath = "/dev/null")
{
    const std::string command = std::string(HARN_BINARY_DIR) + "/harntool " + args + " 2>" + errPath;
    RunResult result{-1, {}};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class HarntoolScript : public ::testing::Test {
protected:
    void SetUp() override { dir_ = std::filesystem::temp_directory_path() / ("harntool-" + std::to_string(::getpid())); std::filesystem::create_directories(dir_); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& text)
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::filesystem::path dir_;
};

TEST_F(HarntoolScript, PrintsTheBlocksAsJson)
{
    const std::string path = Write("level.lvl", "Door{position 10 20}# c { #\nEnd\n");
    const RunResult r = RunHarntool("script " + path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "[{\"type\": \"Door\", \"tokens\": [\"position\", \"10\", \"20\"]},\n"
              " {\"type\": \"End\", \"tokens\": []},\n"
              " {\"type\": \"\", \"tokens\": []}]\n");
}

TEST_F(HarntoolScript, DecodesLatin1AndEscapesJsonSpecials)
{
    const std::string path = Write("odd.lvl", "S\xE3o { a\"b c\\d \x01 }");
    const RunResult r = RunHarntool("script " + path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[{\"type\": \"S\xC3\xA3o\", \"tokens\": [\"a\\\"b\", \"c\\\\d\", \"\\u0001\"]}]\n");
}

TEST_F(HarntoolScript, EmptyScriptIsAnEmptyArray)
{
    const RunResult r = RunHarntool("script " + Write("empty.lvl", ""));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[]\n");
}

TEST_F(HarntoolScript, UnreadableFileGivesOneLineOnStandardErrorAndExitOne)
{
    const std::string errPath = (dir_ / "err.txt").string();
    const RunResult r = RunHarntool("script " + (dir_ / "absent.lvl").string(), errPath);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    std::ifstream err(errPath);
    std::string line, rest;
    std::getline(err, line);
    EXPECT_NE(line.find("absent.lvl"), std::string::npos);
    EXPECT_FALSE(std::getline(err, rest));
}

TEST_F(HarntoolScript, HelpListsTheSubcommands)
{
    const RunResult r = RunHarntool("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("script FILE"), std::string::npos);
    EXPECT_NE(RunHarntool("no-such-command").status, 0);
}

}  // namespace
