#pragma once

#include <vector>

#include "engine/scene/Picture.h"
#include "tools/content/kit/Field.h"
#include "tools/content/kit/Relief.h"

// A linear colour, each channel 0..1.
struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    constexpr Rgb operator*(float s) const { return {r * s, g * s, b * s}; }
    constexpr Rgb operator+(const Rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
    constexpr Rgb operator*(const Rgb& o) const { return {r * o.r, g * o.g, b * o.b}; }
};

constexpr Rgb Mix(const Rgb& a, const Rgb& b, float t) { return a * (1.0f - t) + b * t; }
// A colour from 0xRRGGBB.
constexpr Rgb Hex(unsigned value)
{
    return {static_cast<float>((value >> 16) & 0xFF) / 255.0f, static_cast<float>((value >> 8) & 0xFF) / 255.0f,
            static_cast<float>(value & 0xFF) / 255.0f};
}

// A colour picture being painted: colour per pixel plus a fourth channel (the emission mask of a
// glowing material, or plain alpha). Wraps at its edges like Field.
class Canvas {
public:
    Canvas(int width, int height, const Rgb& fill = {}, float alpha = 0.0f);

    int Width() const { return width_; }
    int Height() const { return height_; }

    Rgb Get(int x, int y) const;
    void Set(int x, int y, const Rgb& colour);
    float Alpha(int x, int y) const { return alpha_.At(x, y); }
    void SetAlpha(int x, int y, float alpha) { alpha_.At(x, y) = alpha; }
    // Blends colour over the pixel by amount (0 keeps it, 1 replaces it).
    void Blend(int x, int y, const Rgb& colour, float amount);
    void Fill(const PixelRect& rect, const Rgb& colour, float amount = 1.0f);

    // Clamped to 0..255; with alpha, the fourth channel, else opaque.
    Picture ToPicture(bool withAlpha) const;

private:
    int width_;
    int height_;
    std::vector<Rgb> colour_;
    Field alpha_;
};
