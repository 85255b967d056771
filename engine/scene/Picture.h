#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded picture: width × height pixels of four bytes (r, g, b, a), the top row first.
struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
};

// Pictures larger than this on either side are refused before any pixel memory is taken: a few
// bytes of compressed header must not be able to ask for more than 256 MiB of pixels.
constexpr uint32_t kMaxPictureSide = 8192;

// Decodes a JPEG, PNG, BMP or TGA file held in memory, recognised by its first bytes (TGA, which
// has no signature, is tried last). False, with the picture emptied, for anything it cannot
// decode completely: unknown kinds, corrupt or truncated data, oversized pictures.
bool DecodePicture(const uint8_t* data, size_t size, Picture& out);

// The decoders behind DecodePicture, one per file kind; each empties the picture on failure.
bool DecodeJpeg(const uint8_t* data, size_t size, Picture& out);
bool DecodePng(const uint8_t* data, size_t size, Picture& out);
bool DecodeBmp(const uint8_t* data, size_t size, Picture& out);
bool DecodeTga(const uint8_t* data, size_t size, Picture& out);

// Sizes the picture's pixel store for width × height, or returns false when either side is 0
// or beyond kMaxPictureSide.
bool AllocatePicture(Picture& picture, uint32_t width, uint32_t height);
