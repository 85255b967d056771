#include "engine/unrarlib/Crc32.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#define HARN_CRC32_FOLDING 1
#endif

namespace {

// Eight tables so that the loop folds eight bytes per step; the first is the classic byte table.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeTables()
{
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        tables[0][i] = value;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (int t = 1; t < 8; ++t) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    }
    return tables;
}

constexpr CrcTables kTables = MakeTables();

uint32_t UpdateByTables(uint32_t crc, const uint8_t* bytes, size_t length)
{
    while (length >= 8) {
        const uint32_t low = crc ^ (uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                    uint32_t(bytes[3]) << 24);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
              kTables[4][low >> 24] ^ kTables[3][bytes[4]] ^ kTables[2][bytes[5]] ^ kTables[1][bytes[6]] ^
              kTables[0][bytes[7]];
        bytes += 8;
        length -= 8;
    }
    while (length-- > 0) crc = kTables[0][(crc ^ *bytes++) & 0xFF] ^ (crc >> 8);
    return crc;
}

#ifdef HARN_CRC32_FOLDING

// Folding with carry-less multiplication. A 16-byte block A of the message stands for A(x)·x^n
// when n bits follow it; modulo the CRC polynomial P that is A_hi·(x^(n+64) mod P) + A_lo·(x^n mod P)
// for its two halves, a polynomial of under 96 bits that can be added to the block n bits later.
// Folding blocks forward this way leaves one block with the CRC of everything before it, which
// the byte tables finish. The bits are reflected (the first bit of the message is the lowest), so
// a half multiplied by a 64-bit constant c yields the product of the polynomials when c holds the
// reflected 32-bit remainder in its upper half, taken one power lower (the product comes out
// shifted by one place).
constexpr uint32_t kPolynomial = 0x04C11DB7;  // P without its x^32 term, in normal bit order

constexpr uint32_t XPowerModP(unsigned power)
{
    uint32_t remainder = 1;
    for (unsigned i = 0; i < power; ++i) remainder = (remainder & 0x80000000u) ? (remainder << 1) ^ kPolynomial : remainder << 1;
    return remainder;
}

constexpr uint32_t Reflect(uint32_t value)
{
    uint32_t reflected = 0;
    for (int bit = 0; bit < 32; ++bit) reflected |= ((value >> bit) & 1u) << (31 - bit);
    return reflected;
}

constexpr uint64_t FoldMultiplier(unsigned power)
{
    return static_cast<uint64_t>(Reflect(XPowerModP(power - 1))) << 32;
}

struct FoldConstants {
    uint64_t low;   // multiplies the block's first 8 bytes (A_hi)
    uint64_t high;  // multiplies its last 8 bytes (A_lo)
};

constexpr FoldConstants FoldBy(unsigned bits)
{
    return {FoldMultiplier(bits + 64), FoldMultiplier(bits)};
}

constexpr FoldConstants kFold128 = FoldBy(128);
constexpr FoldConstants kFold512 = FoldBy(512);
constexpr size_t kBlock = 16;  // bytes

__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i block, __m128i constants, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(block, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(block, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const uint8_t* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// At least 4 blocks. Four lanes fold 64 bytes ahead at a time, then into one, then block by block.
__attribute__((target("pclmul,sse2"))) uint32_t UpdateByFolding(uint32_t crc, const uint8_t* bytes, size_t length)
{
    const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kFold512.high), static_cast<long long>(kFold512.low));
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kFold128.high), static_cast<long long>(kFold128.low));
    __m128i lanes[4];
    for (size_t i = 0; i < 4; ++i) lanes[i] = Load(bytes + i * kBlock);
    // The running value stands in for the first four bytes' worth of what came before.
    lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(static_cast<int>(crc)));
    bytes += 4 * kBlock;
    length -= 4 * kBlock;
    for (; length >= 4 * kBlock; bytes += 4 * kBlock, length -= 4 * kBlock) {
        for (size_t i = 0; i < 4; ++i) lanes[i] = Fold(lanes[i], by512, Load(bytes + i * kBlock));
    }
    __m128i folded = lanes[0];
    for (size_t i = 1; i < 4; ++i) folded = Fold(folded, by128, lanes[i]);
    for (; length >= kBlock; bytes += kBlock, length -= kBlock) folded = Fold(folded, by128, Load(bytes));
    alignas(16) uint8_t last[kBlock];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), folded);
    return UpdateByTables(UpdateByTables(0, last, kBlock), bytes, length);
}

bool CanFold()
{
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") != 0;
    }();
    return supported;
}

#endif

}  // namespace

uint32_t Crc32Update(uint32_t running, const void* data, size_t length)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
#ifdef HARN_CRC32_FOLDING
    // Below a few blocks setting up the lanes costs more than it saves.
    if (length >= 256 && CanFold()) return UpdateByFolding(running, bytes, length);
#endif
    return UpdateByTables(running, bytes, length);
}

uint32_t Crc32(const void* data, size_t length)
{
    return ~Crc32Update(0xFFFFFFFFu, data, length);
}
