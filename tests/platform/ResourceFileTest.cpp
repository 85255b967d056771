#include "engine/platform/ResourceFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SoundFiles.h"
#include "engine/platform/ResourceReader.h"

namespace {

TEST(ResourceFile, LoadsTheWholeFileFollowedByNul)
{
    TempDir dir;
    const std::string bytes("abc\0def", 7);
    const std::string path = dir.Write("data.bin", bytes);
    ResourceFile file;
    ASSERT_TRUE(file.Load(path.c_str()));
    ASSERT_EQ(file.Size(), 7u);
    EXPECT_EQ(std::memcmp(file.Data(), bytes.data(), 7), 0);
    EXPECT_EQ(file.Data()[7], 0);
    EXPECT_STREQ(file.Name(), path.c_str());

    ResourceFile empty;
    ASSERT_TRUE(empty.Load(dir.Write("empty.txt", std::string()).c_str()));
    EXPECT_EQ(empty.Size(), 0u);
    ASSERT_NE(empty.Data(), nullptr);
    EXPECT_EQ(empty.Data()[0], 0);
}

TEST(ResourceFile, MissingFilesAndFoldersFailWithNoData)
{
    TempDir dir;
    const std::string loose = dir.Write("loose.txt", std::string("x"));
    for (const std::string& path : {dir.Path("absent.lvl"), dir.Path("")}) {
        SCOPED_TRACE(path);
        ResourceFile file;
        EXPECT_FALSE(file.Load(path.c_str()));
        EXPECT_EQ(file.Data(), nullptr);
        EXPECT_EQ(file.Size(), 0u);
    }
    ResourceFile file;  // a failed record can try again
    EXPECT_FALSE(file.Load(dir.Path("absent.lvl").c_str()));
    EXPECT_TRUE(file.Load(loose.c_str()));
    EXPECT_EQ(file.Size(), 1u);
}

TEST(ResourceReader, ReadsZerosPastTheEndOrAFailedLoadAndNeverWrapsItsPosition)
{
    TempDir dir;
    ResourceReader reader;
    reader.Open(dir.Write("model.bin", std::string("0123456789")).c_str());
    ASSERT_TRUE(reader.Loaded());
    char buffer[32] = {};
    reader.Read(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    reader.Read(buffer, 0);
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_FALSE(reader.Failed());
    reader.Seek(8);
    std::memset(buffer, 'x', sizeof buffer);
    reader.Read(buffer, 5);  // two bytes remain: the rest reads as zeros
    EXPECT_EQ(std::string(buffer, 5), std::string("89\0\0\0", 5));
    EXPECT_TRUE(reader.Failed());
    reader.Seek(100);
    reader.Read(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), std::string(3, '\0'));
    reader.Seek(0xFFFFFFF0u);
    reader.Read(buffer, 32);
    EXPECT_EQ(reader.Position(), 0xFFFFFFFFu);
    buffer[0] = 'x';
    reader.Read(buffer, 1);
    EXPECT_EQ(buffer[0], 0);

    ResourceReader missing;
    missing.Open(dir.Path("absent.3df").c_str());
    EXPECT_FALSE(missing.Loaded());
    uint32_t word = 0xFFFFFFFF;
    missing.Read(&word, sizeof word);
    EXPECT_EQ(word, 0u);
    EXPECT_TRUE(missing.Failed());
}

}  // namespace
