#include "engine/platform/DataDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SoundFiles.h"

namespace {

TEST(DataDirectory, FindsTheArchiveBesideTheProgramOrInstalledAndNeverInTheWorkingDirectory)
{
    TempDir root;
    namespace fs = std::filesystem;
    const struct {
        const char* archiveIn;  // relative to root, or null for none
        const char* found;
    } cases[] = {{"bin/", "bin/"}, {"share/zelmar/", "bin/../share/zelmar/"}, {nullptr, "bin/"}};
    for (const auto& c : cases) {
        fs::remove_all(root.Path("bin"));
        fs::remove_all(root.Path("share"));
        fs::create_directories(root.Path("bin"));
        if (c.archiveIn != nullptr) {
            fs::create_directories(root.Path(c.archiveIn));
            std::ofstream(root.Path(std::string(c.archiveIn) + "data.qzr")) << "archive";
        }
        std::ofstream("data.qzr") << "not this one";
        EXPECT_EQ(DataDirectory::Find(root.Path("bin/")), root.Path(c.found)) << (c.archiveIn ? c.archiveIn : "none");
        fs::remove("data.qzr");
    }
    DataDirectory::Set(root.Path("data"));
    EXPECT_EQ(DataDirectory::PathOf("fire.wav"), root.Path("data/fire.wav"));
    EXPECT_EQ(DataDirectory::PathOf("/elsewhere/fire.wav"), "/elsewhere/fire.wav");
    DataDirectory::Set("");
    EXPECT_EQ(DataDirectory::Get(), DataDirectory::Find(DataDirectory::ProgramDirectory()));
}

}  // namespace
