#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads a whole file from the disk, for the data that never comes from the archive (samples and
// the music module). False for a missing, empty or unreadable file and for one over maxBytes,
// which is refused before anything is allocated.
bool ReadDiskFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes);
