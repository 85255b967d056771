#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/unrarlib/RarFormat.h"
#include "tests/unrarlib/ArchiveTestSupport.h"
#include "tools/rarwriter/RarWriter.h"
#include "tools/rarwriter/TableWriter.h"

using namespace archive_test;

namespace {

struct SmallArchive {
    Bytes bytes;
    std::vector<std::pair<std::string, Bytes>> entries;
    size_t firstEntryEnd = 0;
};

SmallArchive MakeSmallArchive(bool store, bool solid, int audioChannels = 0)
{
    RarWriter::Options options;
    options.store = store;
    options.solid = solid;
    options.encoder.forceAudioChannels = audioChannels;
    RarWriter writer(options);
    SmallArchive archive;
    archive.entries = {{"first.txt", TextBytes(120, 1)}, {"second.txt", TextBytes(90, 2)}};
    for (const auto& [name, data] : archive.entries) writer.Add(name, data);
    archive.bytes = writer.Bytes();
    archive.firstEntryEnd = kFirstHeader + 32 + 9 + writer.Entries()[0].packedSize;
    return archive;
}

TEST(RarBadInput, EveryTruncationFailsCleanlyUnlessTheEntryIsWhole)
{
    for (const bool store : {false, true}) {
        for (const bool solid : {false, true}) {
            const SmallArchive archive = MakeSmallArchive(store, solid);
            for (size_t length = 0; length < archive.bytes.size(); ++length) {
                SCOPED_TRACE("cut at " + std::to_string(length) + (store ? " stored" : " packed") + (solid ? " solid" : ""));
                const Bytes cut(archive.bytes.begin(), archive.bytes.begin() + static_cast<std::ptrdiff_t>(length));
                const Extraction first = ExtractFromMemory(cut, "first.txt");
                EXPECT_EQ(first.ok, length >= archive.firstEntryEnd);
                if (first.ok) {
                    EXPECT_EQ(first.bytes, archive.entries[0].second);
                }
                const Extraction second = ExtractFromMemory(cut, "second.txt");
                EXPECT_FALSE(second.ok);
                EXPECT_TRUE(second.terminated);
            }
        }
    }
}

TEST(RarBadInput, FlippedBitsNeverYieldWrongBytes)
{
    const SmallArchive archives[] = {MakeSmallArchive(false, false), MakeSmallArchive(false, true),
                                     MakeSmallArchive(false, true, 2)};
    for (const SmallArchive& archive : archives) {
        for (size_t bit = 0; bit < archive.bytes.size() * 8; ++bit) {
            Bytes flipped = archive.bytes;
            flipped[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            for (const auto& [name, data] : archive.entries) {
                const Extraction got = ExtractFromMemory(flipped, name);
                if (got.ok) {
                    EXPECT_EQ(got.bytes, data) << "bit " << bit << " of " << name;
                } else {
                    EXPECT_TRUE(got.terminated);
                }
            }
        }
    }
}

TEST(RarBadInput, HostileOrWrongHeaderFieldsFailWithoutCrashingOrHugeAllocations)
{
    const Bytes data = TextBytes(5000, 3);
    RarWriter packedWriter;
    packedWriter.Add("entry.txt", data);
    const uint32_t packed = packedWriter.Entries()[0].packedSize;
    RarWriter storedWriter(Packing(true, false));
    storedWriter.Add("entry.txt", data);
    // Each case writes value over width bytes at offset into the file header of one entry, then
    // recomputes the header CRC when reseal is set.
    const struct { const char* what; bool stored; size_t offset; uint32_t value; int width; bool reseal, extracts; } cases[] = {
        {"unpacked size of 4 GB", false, 11, 0xFFFFFFFF, 4, true, false},
        {"unpacked size far beyond what the packed data can hold", false, 11, 0x10000000, 4, true, false},
        {"packed size beyond the end of the archive", false, 7, 0xFFFFFFF0, 4, true, false},
        {"packed size one byte short", false, 7, packed - 1, 4, true, false},
        {"unpack version 29", false, 24, 29, 1, true, false},
        {"unpack version 12", false, 24, 12, 1, true, false},
        {"unpack version 13", false, 24, 13, 1, true, true},
        {"header size below a block header", false, 5, 6, 2, false, false},
        {"unknown method byte still decodes", false, 25, 0x35, 1, true, true},
        {"broken header CRC is reported but the entry is used", false, 0, 0, 2, false, true},
        {"wrong file CRC of a packed entry", false, 16, 0, 4, true, false},
        {"wrong file CRC of a stored entry", true, 16, 0, 4, true, false},
        {"stored entry one byte longer than its packed size", true, 11, 5001, 4, true, false},
        {"stored entry one byte shorter than its packed size", true, 11, 4999, 4, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes archive = (c.stored ? storedWriter : packedWriter).Bytes();
        for (int i = 0; i < c.width; ++i) {
            archive[kFirstHeader + c.offset + static_cast<size_t>(i)] = static_cast<uint8_t>(c.value >> (8 * i));
        }
        if (c.reseal) ResealHeader(archive, kFirstHeader);
        const Extraction got = ExtractFromMemory(archive, "entry.txt");
        EXPECT_EQ(got.ok, c.extracts);
        if (got.ok) {
            EXPECT_EQ(got.bytes, data);
        }
    }
}

TEST(RarBadInput, ASolidEntryClaimingDataPastTheEndFailsAtOnce)
{
    RarWriter writer(Packing(false, true));
    writer.Add("first.txt", Bytes(3000, ' '));
    for (const uint32_t packed : {0x7FFFFFFFu, 0xFFFFFF00u}) {
        Bytes archive = writer.Bytes();
        PutU32At(archive, kFirstHeader + 7, packed);
        PutU32At(archive, kFirstHeader + 11, 0xFFFFFFFF);
        ResealHeader(archive, kFirstHeader);
        // Every entry of a solid archive passes through the decoder on the way to the one asked
        // for. Reading on past the end of the archive would decode gigabytes from zero bits.
        EXPECT_FALSE(ExtractFromMemory(archive, "nothing").ok);
        EXPECT_FALSE(ExtractFromMemory(archive, "first.txt").ok);
    }
}

// A block of the given type: its common header (size 11) and 4 bytes of body, and behind it
// 3 bytes of packed data when the long-block flag is set.
Bytes Block(uint8_t type, uint16_t flags)
{
    const bool packed = (flags & rar::kLongBlock) != 0;
    Bytes block(packed ? 14 : 11, 0);
    block[2] = type;
    block[3] = static_cast<uint8_t>(flags);
    block[4] = static_cast<uint8_t>(flags >> 8);
    block[5] = 11;
    if (packed) block[7] = 3;
    return block;
}

TEST(RarBadInput, OnlyTheTwoMarkersOpenAnArchiveAndOnlySubBlocksEndTheSearchForTheEntry)
{
    const Bytes marker(std::begin(rar::kMarker), std::end(rar::kMarker));
    // start replaces the first seven bytes; inserted goes in front of the entry.
    const struct { const char* what; Bytes start, inserted; uint8_t mainHeaderSize; bool extracts; } cases[] = {
        {"RAR marker", marker, {}, 13, true},
        {"alternative marker", {'K', 'a', 'l', 'v', 'o', 'r', '!'}, {}, 13, true},
        {"old marker", {0x52, 0x45, 0x7E, 0x5E, 0x00, 0x00, 0x00}, {}, 13, false},
        {"unknown marker", {'P', 'K', 0x03, 0x04, 0x00, 0x00, 0x00}, {}, 13, false},
        {"marker with one byte wrong", {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01}, {}, 13, false},
        {"a sub-block ends the search", marker, Block(rar::kSubBlockType, 0), 13, false},
        {"an unknown block is skipped", marker, Block(0x75, 0), 13, true},
        {"an unknown block with packed data is skipped", marker, Block(0x75, rar::kLongBlock), 13, true},
        {"a main header longer than 13 bytes is skipped", marker, Bytes(6, 0xEE), 13 + 6, true},
    };
    RarWriter writer;
    const Bytes data = TextBytes(2000, 7);
    writer.Add("entry.txt", data);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes archive = writer.Bytes();
        std::copy(c.start.begin(), c.start.end(), archive.begin());
        archive[7 + 5] = c.mainHeaderSize;
        archive.insert(archive.begin() + kFirstHeader, c.inserted.begin(), c.inserted.end());
        const Extraction got = ExtractFromMemory(archive, "entry.txt");
        EXPECT_EQ(got.ok, c.extracts);
        if (got.ok) {
            EXPECT_EQ(got.bytes, data);
        }
    }
}

TEST(RarBadInput, ArchivesTooShortForTheirMainHeaderAreNotRead)
{
    const Bytes marker(std::begin(rar::kMarker), std::end(rar::kMarker));
    Bytes shortMain = marker;
    shortMain.resize(7 + 12, 0);
    for (const Bytes& archive : {Bytes{}, Bytes{0x52}, marker, shortMain}) {
        EXPECT_FALSE(ExtractFromMemory(archive, "anything").ok) << archive.size() << " bytes";
    }
}

TEST(RarBadInput, NamesLongerThan259BytesAreCutWhenCompared)
{
    const std::string longName = std::string(300, 'n') + ".txt";
    RarWriter writer;
    const Bytes data = TextBytes(500, 10);
    ASSERT_TRUE(writer.Add(longName, data));
    EXPECT_FALSE(ExtractFromMemory(writer.Bytes(), longName).ok);
    const Extraction got = ExtractFromMemory(writer.Bytes(), longName.substr(0, 259));
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.bytes, data);
}

TEST(RarBadInput, NullArgumentsFailWithoutTouchingAnything)
{
    char* data = reinterpret_cast<char*>(1);
    unsigned long size = 5;
    EXPECT_EQ(RarExtract(&data, &size, nullptr, "x.qzr", nullptr), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(RarExtract(nullptr, &size, "a", "x.qzr", nullptr), 0);
    EXPECT_EQ(RarExtract(&data, &size, "a", "/no/such/archive.qzr", nullptr), 0);
    EXPECT_EQ(data, nullptr);
}

// A hand-made entry: one full match of length 3 at distance 100 in an empty window.
Bytes MatchIntoEmptyWindow(uint32_t unpackedSize, uint32_t fileCrc)
{
    EncoderState state;
    uint8_t lengths[rar::kAllTablesSize] = {};
    lengths[rar::kSymbolMatch] = 1;      // length code 0: 3 bytes
    lengths[rar::kSymbolNewTables] = 1;
    lengths[rar::kLiteralTableSize + 13] = 1;  // distances 97..128
    BitOutput out;
    WriteTables(out, state, lengths, false, 1);
    out.Put(1, 1);  // symbol 270: the second code of length 1
    out.Put(0, 1);  // distance code 13
    out.Put(99 - 96, 5);
    const Bytes packed = out.Finish();

    RarWriter writer(Packing(true, false));
    writer.Add("void.bin", Bytes(packed.size(), 0));
    Bytes archive = writer.Bytes();
    std::copy(packed.begin(), packed.end(), archive.end() - static_cast<std::ptrdiff_t>(packed.size()));
    archive[kFirstHeader + 25] = 0x33;
    PutU32At(archive, kFirstHeader + 11, unpackedSize);
    PutU32At(archive, kFirstHeader + 16, fileCrc);
    ResealHeader(archive, kFirstHeader);
    return archive;
}

TEST(RarBadInput, DistancesIntoUnwrittenWindowGiveZerosAndMatchesPastTheEndFail)
{
    const Bytes zeros(3, 0);
    const Extraction whole = ExtractFromMemory(MatchIntoEmptyWindow(3, Crc32(zeros.data(), 3)), "void.bin");
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(whole.bytes, zeros);
    const Bytes two(2, 0);
    EXPECT_FALSE(ExtractFromMemory(MatchIntoEmptyWindow(2, Crc32(two.data(), 2)), "void.bin").ok);
}

}  // namespace
