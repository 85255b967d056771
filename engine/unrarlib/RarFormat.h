#pragma once

#include <cstdint>

// Constants of the RAR 2.0 archive layout and of its compressed format, shared by the reader and
// by the writer in tools/rarwriter.
namespace rar {

constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr uint8_t kAltMarker[7] = {'K', 'a', 'l', 'v', 'o', 'r', '!'};
constexpr uint8_t kOldMarker[4] = {0x52, 0x45, 0x7E, 0x5E};

constexpr uint8_t kMainHeaderType = 0x73;
constexpr uint8_t kFileHeaderType = 0x74;
constexpr uint8_t kSubBlockType = 0x77;

constexpr uint32_t kMainHeaderSize = 13;
constexpr uint32_t kFileHeaderFixedSize = 32;
constexpr uint32_t kMinBlockHeaderSize = 7;
// Longest name part the reader keeps; longer stored names are cut.
constexpr uint32_t kMaxNameLength = 259;

constexpr uint16_t kMainSolid = 0x0008;
constexpr uint16_t kFileEncrypted = 0x0004;
constexpr uint16_t kFileSolid = 0x0010;
constexpr uint16_t kFileWindow1024 = 0x0080;
constexpr uint16_t kLongBlock = 0x8000;

constexpr uint8_t kMethodStored = 0x30;
constexpr uint8_t kMethodBest = 0x35;
constexpr uint8_t kMinUnpackVersion = 13;
constexpr uint8_t kMaxUnpackVersion = 20;

constexpr uint32_t kWindowSize = 0x100000;  // bytes
constexpr uint32_t kWindowMask = kWindowSize - 1;

constexpr int kBitLengthTableSize = 19;
constexpr int kLiteralTableSize = 298;
constexpr int kDistanceTableSize = 48;
constexpr int kRepeatTableSize = 28;
constexpr int kLzTablesSize = kLiteralTableSize + kDistanceTableSize + kRepeatTableSize;
constexpr int kAudioTableSize = 257;
constexpr int kMaxAudioChannels = 4;
constexpr int kAllTablesSize = kAudioTableSize * kMaxAudioChannels;
constexpr int kMaxCodeLength = 15;

// Literal/length table symbols.
constexpr int kSymbolRepeatLast = 256;
constexpr int kSymbolRepeatOld = 257;     // 257..260: one of the four last distances
constexpr int kSymbolShortMatch = 261;    // 261..268: length 2 at a short distance
constexpr int kSymbolNewTables = 269;
constexpr int kSymbolMatch = 270;         // 270..297: length code of a full match
constexpr int kAudioSymbolNewTables = 256;

constexpr uint8_t kLengthBases[28] = {0,  1,  2,  3,  4,  5,  6,   7,   8,   10,  12,  14,  16,  20,
                                      24, 28, 32, 40, 48, 56, 64,  80,  96,  112, 128, 160, 192, 224};
constexpr uint8_t kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                     2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

constexpr uint32_t kDistanceBases[48] = {
    0,      1,      2,      3,      4,      6,      8,      12,     16,     24,     32,     48,
    64,     96,     128,    192,    256,    384,    512,    768,    1024,   1536,   2048,   3072,
    4096,   6144,   8192,   12288,  16384,  24576,  32768,  49152,  65536,  98304,  131072, 196608,
    262144, 327680, 393216, 458752, 524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
constexpr uint8_t kDistanceBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                       7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                       15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};

constexpr uint8_t kShortBases[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t kShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

// Matches at long distances carry their length one or more short of the real one.
constexpr uint32_t MatchLengthBonus(uint32_t distance)
{
    return (distance >= 0x2000 ? 1u : 0u) + (distance >= 0x40000 ? 1u : 0u);
}
constexpr uint32_t RepeatLengthBonus(uint32_t distance)
{
    return (distance >= 0x101 ? 1u : 0u) + MatchLengthBonus(distance);
}

}  // namespace rar
