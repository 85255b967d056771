#include "tools/content/kit/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

int Wrap(int value, int size)
{
    const int r = value % size;
    return r < 0 ? r + size : r;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

Canvas::Canvas(int width, int height, const Rgb& fill, float alpha)
    : width_(width), height_(height), colour_(static_cast<size_t>(width) * static_cast<size_t>(height), fill),
      alpha_(width, height, alpha)
{
}

Rgb Canvas::Get(int x, int y) const
{
    return colour_[static_cast<size_t>(Wrap(y, height_)) * static_cast<size_t>(width_) + static_cast<size_t>(Wrap(x, width_))];
}

void Canvas::Set(int x, int y, const Rgb& colour)
{
    colour_[static_cast<size_t>(Wrap(y, height_)) * static_cast<size_t>(width_) + static_cast<size_t>(Wrap(x, width_))] = colour;
}

void Canvas::Blend(int x, int y, const Rgb& colour, float amount)
{
    Set(x, y, Mix(Get(x, y), colour, std::clamp(amount, 0.0f, 1.0f)));
}

void Canvas::Fill(const PixelRect& rect, const Rgb& colour, float amount)
{
    for (int y = rect.y0; y < rect.y1; ++y)
        for (int x = rect.x0; x < rect.x1; ++x) Blend(x, y, colour, amount);
}

Picture Canvas::ToPicture(bool withAlpha) const
{
    Picture picture;
    AllocatePicture(picture, static_cast<uint32_t>(width_), static_cast<uint32_t>(height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const Rgb c = Get(x, y);
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4];
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
            p[3] = withAlpha ? ToByte(alpha_.At(x, y)) : 255;
        }
    return picture;
}
