#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width × height RGBA bytes, rows top-down, as an 8-bit RGB PNG file. False when the file
// cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
