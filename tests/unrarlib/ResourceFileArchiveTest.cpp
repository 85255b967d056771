#include <gtest/gtest.h>

#include <cstring>
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
        RarWriter::Options options;
        options.solid = true;
        RarWriter writer(options);
        writer.Add("teste.lvl", level_);
        writer.Add("models/defender.3DF", model_);
        writer.Add("empty.txt", {});
        path_ = folder_ / "data.qzr";
        ASSERT_TRUE(writer.WriteFile(path_));
        ArchivePath = path_.c_str();
    }
    void TearDown() override { ArchivePath = nullptr; }

    TempFolder folder_{"resource"};
    std::string path_;
    const Bytes level_ = TextBytes(3000, 1);
    const Bytes model_ = RandomBytes(2000, 2);
};

TEST_F(ArchiveConfigured, LoadsEntriesWithTheNulByteBehindTheData)
{
    ResourceFile level;
    ASSERT_TRUE(level.Load("teste.lvl"));
    ASSERT_EQ(level.Size(), level_.size());
    EXPECT_EQ(0, std::memcmp(level.Data(), level_.data(), level_.size()));
    EXPECT_EQ(level.Data()[level.Size()], 0);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(level.Data())), level_.size());
}

TEST_F(ArchiveConfigured, FindsEntriesIgnoringCaseAndSlashDirection)
{
    for (const char* name : {"models/defender.3DF", "MODELS\\DEFENDER.3df", "models_defender.3df"}) {
        ResourceFile model;
        ASSERT_TRUE(model.Load(name)) << name;
        ASSERT_EQ(model.Size(), model_.size());
        EXPECT_EQ(0, std::memcmp(model.Data(), model_.data(), model_.size()));
    }
}

TEST_F(ArchiveConfigured, AnEmptyEntryLoadsAsOneNulByte)
{
    ResourceFile empty;
    ASSERT_TRUE(empty.Load("empty.txt"));
    EXPECT_EQ(empty.Size(), 0u);
    ASSERT_NE(empty.Data(), nullptr);
    EXPECT_EQ(empty.Data()[0], 0);
}

TEST_F(ArchiveConfigured, NeverConsultsTheDiskForAMissingEntry)
{
    const std::string onDisk = "disk_only_resource.txt";
    {
        std::ofstream out(onDisk);
        out << "present on disk";
    }
    const std::string absolute = folder_ / "absolute.txt";
    {
        std::ofstream out(absolute);
        out << "also on disk";
    }
    for (const std::string& name : {onDisk, absolute}) {
        ResourceFile file;
        EXPECT_FALSE(file.Load(name.c_str())) << name;
        EXPECT_EQ(file.Data(), nullptr);
        EXPECT_EQ(file.Size(), 0u);
    }
    std::remove(onDisk.c_str());
}

TEST_F(ArchiveConfigured, AMissingArchiveLoadsNothing)
{
    const std::string missing = folder_ / "missing.qzr";
    ArchivePath = missing.c_str();
    ResourceFile file;
    EXPECT_FALSE(file.Load("teste.lvl"));
    EXPECT_EQ(file.Data(), nullptr);
    EXPECT_EQ(file.Size(), 0u);
}

TEST_F(ArchiveConfigured, ASecondLoadKeepsTheFirstEntry)
{
    ResourceFile file;
    ASSERT_TRUE(file.Load("teste.lvl"));
    EXPECT_TRUE(file.Load("models/defender.3DF"));
    EXPECT_EQ(file.Size(), level_.size());
}

}  // namespace
