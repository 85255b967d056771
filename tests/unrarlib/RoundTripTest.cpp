#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tools/rarwriter/RarWriter.h"

using namespace archive_test;

namespace {

struct RoundTripCase {
    const char* what;
    Bytes data;
};

std::vector<RoundTripCase> Cases()
{
    Bytes runs;
    for (int i = 0; i < 40; ++i) runs.insert(runs.end(), static_cast<size_t>(1000 + i * 37), static_cast<uint8_t>(i * 11));
    Bytes mixed = TextBytes(30000, 1);
    const Bytes random = RandomBytes(20000, 2);
    mixed.insert(mixed.end(), random.begin(), random.end());
    mixed.insert(mixed.end(), mixed.begin(), mixed.begin() + 25000);
    return {
        {"empty", {}},
        {"one byte", {0x42}},
        {"two bytes", {0x00, 0xFF}},
        {"text", TextBytes(50000, 7)},
        {"random bytes", RandomBytes(70000, 3)},
        {"long runs", runs},
        {"one long run", Bytes(300000, 0xAA)},
        {"mixed text, noise and repeats", mixed},
        {"8-bit stereo samples", SampleBytes(20000, 2, 1, 4)},
        {"16-bit mono samples", SampleBytes(20000, 1, 2, 5)},
    };
}

TEST(RarRoundTrip, EveryKindOfDataComesBackByteForByteStoredCompressedAndSolid)
{
    for (const bool store : {false, true}) {
        for (const bool solid : {false, true}) {
            RarWriter writer(Packing(store, solid));
            const std::vector<RoundTripCase> cases = Cases();
            for (const RoundTripCase& c : cases) ASSERT_TRUE(writer.Add(std::string(c.what) + ".bin", c.data));
            for (const RoundTripCase& c : cases) {
                SCOPED_TRACE(std::string(c.what) + (store ? " stored" : " packed") + (solid ? " solid" : ""));
                const Extraction got = ExtractFromMemory(writer.Bytes(), std::string(c.what) + ".bin");
                ASSERT_TRUE(got.ok);
                EXPECT_TRUE(got.terminated);
                EXPECT_EQ(got.bytes, c.data);
            }
        }
    }
}

TEST(RarRoundTrip, CompressionShrinksTextAndRunsAndStoresNoise)
{
    RarWriter writer;
    const Bytes text = TextBytes(100000, 9);
    ASSERT_TRUE(writer.Add("text.txt", text));
    ASSERT_TRUE(writer.Add("noise.bin", RandomBytes(10000, 9)));
    ASSERT_TRUE(writer.Add("zeros.bin", Bytes(100000, 0)));
    const auto& entries = writer.Entries();
    EXPECT_EQ(entries[0].method, RarWriter::kMethodNormal);
    EXPECT_LT(entries[0].packedSize, text.size() / 4);
    EXPECT_EQ(entries[1].method, 0x30);
    EXPECT_EQ(entries[1].packedSize, 10000u);
    EXPECT_LT(entries[2].packedSize, 200u);
}

}  // namespace
