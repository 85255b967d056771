#include "tools/content/kit/NormalMap.h"

#include <algorithm>
#include <cmath>

Picture NormalMapFromHeights(const Field& heights, float strength)
{
    Picture picture;
    AllocatePicture(picture, static_cast<uint32_t>(heights.Width()), static_cast<uint32_t>(heights.Height()));
    auto pack = [](float value) { return static_cast<uint8_t>(std::lround(std::clamp(value * 0.5f + 0.5f, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < heights.Height(); ++y)
        for (int x = 0; x < heights.Width(); ++x) {
            const float dx = (heights.At(x + 1, y) - heights.At(x - 1, y)) * 0.5f * strength;
            const float dy = (heights.At(x, y + 1) - heights.At(x, y - 1)) * 0.5f * strength;
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + static_cast<size_t>(x)) * 4];
            p[0] = pack(-dx / length);
            p[1] = pack(-dy / length);
            p[2] = pack(1.0f / length);
            p[3] = 255;
        }
    return picture;
}

Field Cavity(const Field& heights, int radius)
{
    Field cavity = heights;
    cavity.Add(heights.Blurred(radius), -1.0f);
    return cavity;
}
