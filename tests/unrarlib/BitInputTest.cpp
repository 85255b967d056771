#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/unrarlib/ArchiveStream.h"
#include "engine/unrarlib/BitInput.h"

namespace {

TEST(BitInput, ReadsBitsMostSignificantFirstAcrossChunks)
{
    std::vector<uint8_t> bytes(20000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    ArchiveStream stream;
    stream.OpenMemory(bytes.data(), bytes.size());
    BitInput input(stream, bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint32_t high = input.Read(3);
        const uint32_t low = input.Read(5);
        ASSERT_EQ((high << 5) | low, bytes[i]) << i;
    }
    EXPECT_FALSE(input.Overrun());
    input.Read(1);
    EXPECT_TRUE(input.Overrun());
}

TEST(BitInput, ReadsRunOutAtThePackedSizeOrAtTheEndOfTheStreamWhicheverComesFirst)
{
    const struct { const char* what; size_t streamBytes; uint64_t packedSize; } cases[] = {
        {"the header claims far more than the archive holds", 4, 0x7FFFFFFF},
        {"the bytes behind the entry's data are not its data", 64, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> bytes(c.streamBytes, 0xA5);
        ArchiveStream stream;
        stream.OpenMemory(bytes.data(), bytes.size());
        BitInput input(stream, c.packedSize);
        EXPECT_EQ(input.Read(16), 0xA5A5u);
        EXPECT_EQ(input.Read(16), 0xA5A5u);
        EXPECT_FALSE(input.Overrun());
        EXPECT_EQ(input.Read(8), 0u);
        EXPECT_TRUE(input.Overrun());
    }
}

}  // namespace
