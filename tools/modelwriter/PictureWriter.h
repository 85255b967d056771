#pragma once

#include <cstdint>
#include <vector>

#include "engine/scene/Picture.h"

// Encodes RGBA pictures (top row first) into the file kinds the engine reads, for the data
// pipeline and for tests.
class PictureWriter {
public:
    enum class TgaLayout { TrueColour, Grey, ColourMapped };
    struct TgaOptions {
        TgaLayout layout = TgaLayout::TrueColour;
        bool alpha = false;        // 32-bit pixels (or colour-map entries) instead of 24-bit
        bool runLength = false;
        bool topDown = false;      // the first stored row is the top one
        bool rightToLeft = false;  // each stored row starts at its right end
    };
    // Grey takes the red channel; colour-mapped builds a map of the picture's colours (at most
    // 256, else the result is empty).
    static std::vector<uint8_t> Tga(const Picture& picture, const TgaOptions& options);
    // 24 or 32 bits per pixel, or 8 with a palette of the picture's colours (at most 256).
    static std::vector<uint8_t> Bmp(const Picture& picture, int bits, bool topDown);
    static std::vector<uint8_t> Png(const Picture& picture);
    // Grey takes the red channel and writes one component.
    static std::vector<uint8_t> Jpeg(const Picture& picture, int quality, bool grey = false);
};
