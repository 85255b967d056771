#include "engine/device/LetterboxRect.h"

#include <cstdint>

LetterboxRect LetterboxRect::Fit(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight)
{
    if (screenWidth <= 0 || screenHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    LetterboxRect rect;
    // Compared in 64 bits: which side limits is whether the screen is wider than the picture.
    if (static_cast<int64_t>(screenWidth) * pictureHeight >= static_cast<int64_t>(screenHeight) * pictureWidth) {
        rect.height = screenHeight;
        rect.width = static_cast<int>(static_cast<int64_t>(screenHeight) * pictureWidth / pictureHeight);
    } else {
        rect.width = screenWidth;
        rect.height = static_cast<int>(static_cast<int64_t>(screenWidth) * pictureHeight / pictureWidth);
    }
    rect.x = (screenWidth - rect.width) / 2;
    rect.y = (screenHeight - rect.height) / 2;
    return rect;
}
