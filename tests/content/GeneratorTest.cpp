#include <fstream>
#include <iterator>
#include <set>

#include "engine/unrarlib/RarDirectory.h"
#include "tests/content/ContentSupport.h"
#include "tests/unrarlib/CommandSupport.h"

namespace {

const std::string kGenerator = std::string(HARN_BINARY_DIR) + "/tools/content/zelmar_content";
const std::string kHarntool = std::string(HARN_BINARY_DIR) + "/harntool";

class Generator : public ::testing::Test {
protected:
    Generator() : dir_(std::filesystem::temp_directory_path() / ("zelmar-content-" + std::to_string(getpid()))) {}
    ~Generator() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(Generator, RefusesBadCommandLinesAndMissingSources)
{
    const std::string out = Quote((dir_ / "out").string());
    const struct {
        std::string command;
        int status;
    } kCases[] = {
        {kGenerator, 2},
        {kGenerator + " --bogus " + out, 2},
        {kGenerator + " --loose", 2},
        {kGenerator + " --sources /nonexistent --loose " + out, 1},
        {kHarntool + " view model.3df --at -1", 2},
        {kHarntool + " view model.3df --look 0,200,0", 2},
        {kHarntool + " view model.3df --orbit a,b,c", 2},
        {kHarntool + " view model.3df --ambient 2", 2},
        {kHarntool + " view model.3df --camera introCam --look 0,1,2,3,4,5", 2},
    };
    for (const auto& c : kCases) EXPECT_EQ(RunCommand(c.command + " >/dev/null 2>&1").status, c.status) << c.command;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out" / "level.3df")) << "a failed run leaves no data behind";
}

// The build made data.qzr; a second run makes every file again, and they must match byte for byte.
TEST_F(Generator, TwoRunsMakeIdenticalFiles)
{
    ASSERT_EQ(RunCommand(kGenerator + " --loose " + Quote(dir_.string()) + " >/dev/null").status, 0);
    std::vector<RarEntryInfo> entries;
    bool solid = false;
    ASSERT_TRUE(RarListEntries(content::ArchivePathName().c_str(), entries, solid));
    std::set<std::string> packed;
    for (const RarEntryInfo& entry : entries) packed.insert(entry.name);
    size_t made = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir_)) {
        ++made;
        const std::string name = file.path().filename().string();
        EXPECT_TRUE(packed.count(name)) << name;
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<uint8_t> again(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(again == content::Entry(name)) << name << " differs between runs";
    }
    EXPECT_EQ(made, packed.size());
}

}  // namespace
