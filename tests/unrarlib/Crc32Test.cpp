#include <gtest/gtest.h>

#include "engine/unrarlib/Crc32.h"
#include "tests/unrarlib/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

uint32_t BitByBit(const uint8_t* bytes, size_t length)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// Long runs take a faster way than short ones; both must agree with the definition wherever the
// data starts and ends, and a run split in two must give what it gives whole.
TEST(Crc32, AgreesWithTheBitwiseDefinitionAtEveryLengthAndAlignment)
{
    const Bytes data = RandomBytes(1200, 11);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length = 0; length + offset <= 1100; length += 1 + length / 64) {
            const uint8_t* bytes = data.data() + offset;
            const uint32_t expected = BitByBit(bytes, length);
            ASSERT_EQ(Crc32(bytes, length), expected) << offset << " " << length;
            const size_t split = length / 3;
            ASSERT_EQ(~Crc32Update(Crc32Update(0xFFFFFFFFu, bytes, split), bytes + split, length - split), expected);
        }
    }
}

}  // namespace
