#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 with the reflected polynomial 0xEDB88320, the check of every RAR header and entry.
// Crc32Update continues a running value that starts at 0xFFFFFFFF; the final CRC is its complement.
uint32_t Crc32Update(uint32_t running, const void* data, size_t length);
uint32_t Crc32(const void* data, size_t length);
