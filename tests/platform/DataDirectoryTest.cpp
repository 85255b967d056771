#include "engine/platform/DataDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SoundFiles.h"

namespace {

// Finding the archive beside the program or installed is the data check's to test; without one the
// program's folder is the data folder, and an archive in the working directory is never taken.
TEST(DataDirectory, FallsBackToTheProgramsFolderAndNeverTakesTheWorkingDirectory)
{
    TempDir root;
    std::filesystem::create_directories(root.Path("bin"));
    std::ofstream("data.qzr") << "not this one";
    EXPECT_EQ(DataDirectory::Find(root.Path("bin")), root.Path("bin/"));
    std::filesystem::remove("data.qzr");
    DataDirectory::Set(root.Path("data"));
    EXPECT_EQ(DataDirectory::PathOf("fire.wav"), root.Path("data/fire.wav"));
    EXPECT_EQ(DataDirectory::PathOf("/elsewhere/fire.wav"), "/elsewhere/fire.wav");
    DataDirectory::Set("");
    EXPECT_EQ(DataDirectory::Get(), DataDirectory::Find(DataDirectory::ProgramDirectory()));
}

}  // namespace
