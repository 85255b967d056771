#include "engine/device/MipLevel.h"

#include <algorithm>

MipLevel MipLevel::Halve(const uint8_t* rgba, int width, int height)
{
    MipLevel level;
    level.width = std::max(1, width / 2);
    level.height = std::max(1, height / 2);
    level.rgba.resize(static_cast<size_t>(level.width) * static_cast<size_t>(level.height) * 4);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    // A side of 1 has one row or column to take; otherwise the pair starting at twice the index.
    const int stepX = width > 1 ? 4 : 0;
    const size_t stepY = height > 1 ? rowBytes : 0;
    uint8_t* out = level.rgba.data();
    for (int y = 0; y < level.height; ++y) {
        const uint8_t* top = rgba + static_cast<size_t>(height > 1 ? 2 * y : 0) * rowBytes;
        const uint8_t* bottom = top + stepY;
        for (int x = 0; x < level.width; ++x) {
            const size_t left = static_cast<size_t>(width > 1 ? 2 * x : 0) * 4;
            const size_t right = left + static_cast<size_t>(stepX);
            for (int c = 0; c < 4; ++c) {
                const int sum = top[left + c] + top[right + c] + bottom[left + c] + bottom[right + c];
                *out++ = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return level;
}
