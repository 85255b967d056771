#include <fstream>
#include <iterator>
#include <set>

#include "engine/scene/Picture.h"
#include "engine/unrarlib/RarDirectory.h"
#include "tests/content/ContentSupport.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

using content::Entry;

const char* const kModels[] = {"level.3df", "main_ship.3df", "defender.3DF", "nave.3df", "Boss.3df", "door.3df"};

// The texture names of a 3DF file's material records (bump map, then colour texture).
std::vector<std::string> MaterialMapNames(const std::vector<uint8_t>& file)
{
    auto int32At = [&](size_t at) {
        int32_t v = 0;
        if (at + 4 <= file.size()) std::memcpy(&v, &file[at], 4);
        return v;
    };
    const int32_t frames = int32At(288);
    size_t at = 294 + (file.size() > 292 && file[292] != 0 ? static_cast<size_t>(frames) * 24 : 0);
    const int32_t count = int32At(at);
    at += 4;
    std::vector<std::string> names;
    for (int32_t i = 0; i < count && at + 540 <= file.size(); ++i, at += 540) {
        for (size_t field : {24u, 280u}) names.emplace_back(reinterpret_cast<const char*>(&file[at + field]), strnlen(reinterpret_cast<const char*>(&file[at + field]), 256));
    }
    return names;
}

bool PowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// The names in the archive, in their order; whether it is solid.
std::vector<std::string> Listing(bool* solid)
{
    std::vector<RarEntryInfo> entries;
    EXPECT_TRUE(RarListEntries(content::ArchivePathName().c_str(), entries, *solid));
    std::vector<std::string> names;
    for (const RarEntryInfo& entry : entries) names.push_back(entry.name);
    return names;
}

// Every model and every map its materials name (empty: the flat bump map) is there under its exact
// name, and every map decodes at a power-of-two size.
TEST(Archive, HoldsEveryFileTheGameAsksForUnderItsExactNameAndEveryMapDecodes)
{
    bool solid = false;
    const std::vector<std::string> entries = Listing(&solid);
    EXPECT_TRUE(solid);
    const std::set<std::string> names(entries.begin(), entries.end());
    std::vector<std::string> wanted(std::begin(kModels), std::end(kModels));
    wanted.insert(wanted.end(), {"bump_neutral.jpg", "teste.lvl"});
    for (const char* model : kModels) {
        const std::vector<std::string> maps = MaterialMapNames(Entry(model));
        ASSERT_FALSE(maps.empty()) << model;
        for (const std::string& map : maps) wanted.push_back(map.empty() ? "bump_neutral.jpg" : map);
    }
    for (const std::string& name : wanted) {
        ASSERT_TRUE(names.count(name)) << name << " is missing (names are case-sensitive)";
        if (name.find(".3") != std::string::npos || name == "teste.lvl") continue;
        const std::vector<uint8_t> bytes = Entry(name);
        Picture picture;
        ASSERT_TRUE(DecodePicture(bytes.data(), bytes.size(), picture)) << name;
        EXPECT_TRUE(PowerOfTwo(picture.width) && PowerOfTwo(picture.height)) << name;
        EXPECT_LE(std::max(picture.width, picture.height), 1024u) << name;
    }
    // What the title screen reads first comes first in the solid archive.
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "level.3df");
    EXPECT_LT(std::filesystem::file_size(content::ArchivePathName()), 16u << 20);
    // The flat normal points straight out of the surface.
    Picture flat;
    const std::vector<uint8_t> bytes = Entry("bump_neutral.jpg");
    ASSERT_TRUE(DecodePicture(bytes.data(), bytes.size(), flat));
    EXPECT_NEAR(flat.rgba[0], 128, 2);
    EXPECT_NEAR(flat.rgba[1], 128, 2);
    EXPECT_GE(flat.rgba[2], 250);
}

const std::string kGenerator = HARN_BINARY_DIR "/tools/content/zelmar_content";
const std::string kHarntool = HARN_BINARY_DIR "/harntool";

TEST(Generator, RefusesBadCommandLinesAndMissingSources)
{
    TempFolder dir("zelmar-content");
    const std::string out = Quote(dir / "out");
    const std::pair<std::string, int> kCases[] = {
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
    for (const auto& [command, status] : kCases) EXPECT_EQ(RunCommand(command + " >/dev/null 2>&1").status, status) << command;
    EXPECT_FALSE(std::filesystem::exists(dir / "out/level.3df")) << "a failed run leaves no data behind";
}

// The build made data.qzr; a second run makes every file again, and they must match byte for byte.
TEST(Generator, TwoRunsMakeIdenticalFiles)
{
    TempFolder dir("zelmar-content");
    ASSERT_EQ(RunCommand(kGenerator + " --loose " + Quote(dir.Path().string()) + " >/dev/null").status, 0);
    bool solid = false;
    const std::vector<std::string> packed = Listing(&solid);
    size_t made = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
        ++made;
        const std::string name = file.path().filename().string();
        EXPECT_NE(std::find(packed.begin(), packed.end(), name), packed.end()) << name;
        std::ifstream in(file.path(), std::ios::binary);
        EXPECT_TRUE(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}) == content::Entry(name)) << name << " differs between runs";
    }
    EXPECT_EQ(made, packed.size());
}

}  // namespace
