#include "tools/content/kit/TrimSheet.h"

#include <algorithm>

TrimSheet::TrimSheet(int width, std::vector<Band> bands) : width_(width), bands_(std::move(bands))
{
    int y = kGuard / 2;
    for (Band& band : bands_) {
        band.y0 = y;
        y += band.pixels + kGuard;
    }
    height_ = 16;
    while (height_ < y) height_ *= 2;
}

float TrimSheet::UnitsPerRepeat(int band) const
{
    const Band& b = At(band);
    return static_cast<float>(width_) * b.across / static_cast<float>(b.pixels);
}

float TrimSheet::V(int band, float t) const
{
    const Band& b = At(band);
    const float inset = 1.5f;
    const float row = static_cast<float>(b.y0) + inset + std::clamp(t, 0.0f, 1.0f) * (static_cast<float>(b.pixels) - 2.0f * inset);
    return row / static_cast<float>(height_);
}
