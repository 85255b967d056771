#pragma once

#include <cstdint>
#include <vector>

// Little-endian fields appended to a byte buffer, for the writers of the data pipeline and the
// tests that build files byte by byte.
inline void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}
