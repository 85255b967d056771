#include <fstream>
#include <iterator>
#include <set>

#include "engine/device/NullDevice.h"
#include "engine/platform/ResourceFile.h"
#include "engine/scene/Picture.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/Texture.h"
#include "engine/scene/TextureCache.h"
#include "engine/unrarlib/RarDirectory.h"
#include "tests/content/ContentSupport.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

using content::Entry;

const char* const kModels[] = {"level.3df", "main_ship.3df", "defender.3DF", "nave.3df", "Boss.3df", "door.3df"};

bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// The names in the archive, in their order; whether it is solid.
std::vector<std::string> Listing(bool* solid)
{
    std::vector<RarEntryInfo> entries;
    EXPECT_TRUE(RarListEntries(content::ArchivePathName().c_str(), entries, *solid));
    std::vector<std::string> names;
    for (const RarEntryInfo& entry : entries) names.push_back(entry.name);
    return names;
}

// Every model, and every map its materials name as the game loads them (none: the flat normal map),
// is there under its exact name and loads at a power-of-two size.
TEST(Archive, HoldsEveryFileTheGameAsksForUnderItsExactNameAndEveryMapLoads)
{
    bool solid = false;
    const std::vector<std::string> entries = Listing(&solid);
    EXPECT_TRUE(solid);
    const std::set<std::string> names(entries.begin(), entries.end());
    EXPECT_TRUE(names.count("teste.lvl"));
    NullDevice device;
    ScopedCurrentDevice current(&device);
    ArchivePath = content::ArchivePathName().c_str();
    for (const char* model : kModels) {
        SCOPED_TRACE(model);
        ASSERT_TRUE(names.count(model)) << "missing (names are case-sensitive)";
        SceneModel scene;
        ASSERT_TRUE(scene.Load(model));
        ASSERT_GT(scene.Materials().Count(), 0u);
        for (const Material& material : scene.Materials()) {
            for (const Texture* map : {material.bumpMap, material.texture}) {
                if (map == nullptr) continue;
                ASSERT_TRUE(names.count(map->Name())) << map->Name() << " is missing (names are case-sensitive)";
                ASSERT_FALSE(map->Empty()) << map->Name();
                const int width = map->Device()->Width(), height = map->Device()->Height();
                EXPECT_TRUE(PowerOfTwo(width) && PowerOfTwo(height)) << map->Name();
                EXPECT_LE(std::max(width, height), 1024) << map->Name();
            }
        }
    }
    TextureCache::Clear();
    ArchivePath = nullptr;
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
