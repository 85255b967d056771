#include "engine/platform/ResourceFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/platform/ResourceReader.h"

namespace {

namespace fs = std::filesystem;

class ResourceFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("harn-resource-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ArchivePath = nullptr;
    }
    void TearDown() override
    {
        ArchivePath = nullptr;
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    fs::path dir_;
};

TEST_F(ResourceFileTest, LoadsTheWholeFileFollowedByNul)
{
    const std::string bytes("abc\0def", 7);
    const std::string path = Write("data.bin", bytes);
    ResourceFile file;
    ASSERT_TRUE(file.Load(path.c_str()));
    ASSERT_EQ(file.Size(), 7u);
    EXPECT_EQ(std::memcmp(file.Data(), bytes.data(), 7), 0);
    EXPECT_EQ(file.Data()[7], 0);
    EXPECT_STREQ(file.Name(), path.c_str());
}

TEST_F(ResourceFileTest, ZeroLengthFileLoadsAsOneNulByte)
{
    const std::string path = Write("empty.txt", "");
    ResourceFile file;
    ASSERT_TRUE(file.Load(path.c_str()));
    EXPECT_EQ(file.Size(), 0u);
    ASSERT_NE(file.Data(), nullptr);
    EXPECT_EQ(file.Data()[0], 0);
}

TEST_F(ResourceFileTest, SecondLoadKeepsTheFirstFile)
{
    const std::string first = Write("first.txt", "first");
    const std::string second = Write("second.txt", "second file");
    ResourceFile file;
    ASSERT_TRUE(file.Load(first.c_str()));
    EXPECT_TRUE(file.Load(second.c_str()));
    EXPECT_EQ(file.Size(), 5u);
    EXPECT_STREQ(reinterpret_cast<const char*>(file.Data()), "first");
    EXPECT_STREQ(file.Name(), first.c_str());
}

TEST_F(ResourceFileTest, MissingFileFailsWithNoData)
{
    ResourceFile file;
    EXPECT_FALSE(file.Load((dir_ / "absent.lvl").c_str()));
    EXPECT_EQ(file.Data(), nullptr);
    EXPECT_EQ(file.Size(), 0u);
    // A failed record can try again.
    const std::string path = Write("later.txt", "x");
    EXPECT_TRUE(file.Load(path.c_str()));
    EXPECT_EQ(file.Size(), 1u);
}

TEST_F(ResourceFileTest, DirectoryIsNotAFile)
{
    ResourceFile file;
    EXPECT_FALSE(file.Load(dir_.c_str()));
    EXPECT_EQ(file.Data(), nullptr);
}

TEST_F(ResourceFileTest, ReaderWalksTheDataAndStopsAtTheEnd)
{
    const std::string path = Write("model.bin", "0123456789");
    ResourceReader reader;
    reader.Open(path.c_str());
    ASSERT_TRUE(reader.Loaded());
    char buffer[8] = {};
    reader.Read(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    reader.Read(buffer, 0);
    EXPECT_EQ(reader.Position(), 4u);
    reader.Seek(8);
    std::memset(buffer, 'x', sizeof buffer);
    reader.Read(buffer, 5);  // two bytes remain: the rest reads as zeros
    EXPECT_EQ(std::string(buffer, 5), std::string("89\0\0\0", 5));
    EXPECT_TRUE(reader.Failed());
    reader.Seek(100);
    reader.Read(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), std::string(3, '\0'));
}

TEST_F(ResourceFileTest, ReaderOfAFailedLoadReadsZerosAndFails)
{
    ResourceReader reader;
    reader.Open((dir_ / "absent.3df").c_str());
    EXPECT_FALSE(reader.Loaded());
    uint32_t word = 0xFFFFFFFF;
    reader.Read(&word, sizeof word);
    EXPECT_EQ(word, 0u);
    EXPECT_TRUE(reader.Failed());
}

TEST_F(ResourceFileTest, ReaderPositionDoesNotWrapOnHugeReads)
{
    const std::string path = Write("small.bin", "ab");
    ResourceReader reader;
    reader.Open(path.c_str());
    reader.Seek(0xFFFFFFF0u);
    char buffer[32];
    reader.Read(buffer, 32);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(reader.Position(), 0xFFFFFFFFu);
    reader.Read(buffer, 1);
    EXPECT_EQ(buffer[0], 0);
}

}  // namespace

namespace {

TEST_F(ResourceFileTest, WithAnArchiveSetTheDiskIsNeverConsulted)
{
    const std::string path = Write("loose.txt", "on disk only");
    const std::string archive = (dir_ / "absent.qzr").string();
    ArchivePath = archive.c_str();
    ResourceFile file;
    EXPECT_FALSE(file.Load(path.c_str()));
    EXPECT_EQ(file.Data(), nullptr);
    EXPECT_EQ(file.Size(), 0u);
}

}  // namespace
