#include <gtest/gtest.h>

#include <fstream>

#include "engine/platform/ResourceFile.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

// Points ArchivePath at an archive for the length of one test.
class ArchiveConfigured : public ::testing::Test {
protected:
    void SetUp() override
    {
        RarWriter writer(Packing(false, true));
        writer.Add("teste.lvl", level_);
        writer.Add("models/defender.3DF", model_);
        writer.Add("empty.txt", empty_);
        path_ = folder_ / "data.qzr";
        ASSERT_TRUE(writer.WriteFile(path_));
        ArchivePath = path_.c_str();
    }
    void TearDown() override { ArchivePath = nullptr; }

    TempFolder folder_{"resource"};
    std::string path_;
    const Bytes level_ = TextBytes(3000, 1);
    const Bytes model_ = RandomBytes(2000, 2);
    const Bytes empty_;
};

TEST_F(ArchiveConfigured, LoadsEntriesByAnySpellingOfTheirNameWithTheNulByteBehindTheData)
{
    const struct { const char* name; const Bytes& data; } cases[] = {{"teste.lvl", level_},
                 {"models/defender.3DF", model_},
                 {"MODELS\\DEFENDER.3df", model_},
                 {"models_defender.3df", model_},
                 {"empty.txt", empty_}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResourceFile file;
        ASSERT_TRUE(file.Load(c.name));
        ASSERT_EQ(file.Size(), c.data.size());
        ASSERT_NE(file.Data(), nullptr);
        EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), c.data);
        EXPECT_EQ(file.Data()[file.Size()], 0);
        EXPECT_TRUE(file.Load("teste.lvl"));
        EXPECT_EQ(file.Size(), c.data.size()) << "a second load keeps the first entry";
    }
}

TEST_F(ArchiveConfigured, NeverConsultsTheDiskForAMissingEntryOrAMissingArchive)
{
    const std::string onDisk = "disk_only_resource.txt";
    const std::string absolute = folder_ / "absolute.txt";
    std::ofstream(onDisk) << "present on disk";
    std::ofstream(absolute) << "also on disk";
    const std::string missing = folder_ / "missing.qzr";
    for (const std::string& name : {onDisk, absolute, std::string("teste.lvl")}) {
        SCOPED_TRACE(name);
        if (name == "teste.lvl") ArchivePath = missing.c_str();
        ResourceFile file;
        EXPECT_FALSE(file.Load(name.c_str()));
        EXPECT_EQ(file.Data(), nullptr);
        EXPECT_EQ(file.Size(), 0u);
    }
    std::remove(onDisk.c_str());
}

}  // namespace
