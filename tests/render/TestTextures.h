#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/scene/Picture.h"
#include "engine/scene/Texture.h"

// Pictures made in code for the renderer's tests and benchmarks, uploaded to the current device.
namespace test_textures {

inline std::unique_ptr<Texture> Upload(const Picture& picture)
{
    auto texture = std::make_unique<Texture>();
    if (!texture->Create(picture)) return nullptr;
    return texture;
}

// A side × side picture; paint(x, y, rgba) fills each pixel's four bytes.
template <typename Paint>
Picture Painted(uint32_t side, Paint paint)
{
    Picture picture;
    AllocatePicture(picture, side, side);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) paint(x, y, &picture.rgba[4 * (y * side + x)]);
    return picture;
}

inline void Set(uint8_t* p, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

// Two colours in squares of cell pixels.
inline Picture CheckerPicture(uint32_t side, uint32_t cell, const uint8_t a[3], const uint8_t b[3])
{
    return Painted(side, [&](uint32_t x, uint32_t y, uint8_t* p) {
        const uint8_t* c = ((x / cell + y / cell) % 2 == 0) ? a : b;
        Set(p, c[0], c[1], c[2], 255);
    });
}

inline std::unique_ptr<Texture> Checker(uint32_t side, uint32_t cell, const uint8_t a[3], const uint8_t b[3])
{
    return Upload(CheckerPicture(side, cell, a, b));
}

// A tangent-space normal map of round bumps, count × count of them.
inline std::unique_ptr<Texture> Bumps(uint32_t side, uint32_t count)
{
    const float cell = static_cast<float>(side) / static_cast<float>(count);
    return Upload(Painted(side, [&](uint32_t x, uint32_t y, uint8_t* p) {
        const float dx = std::fmod(static_cast<float>(x) + 0.5f, cell) / cell * 2.0f - 1.0f;
        const float dy = std::fmod(static_cast<float>(y) + 0.5f, cell) / cell * 2.0f - 1.0f;
        const float r2 = dx * dx + dy * dy;
        const bool bump = r2 < 0.8f;
        const float nx = bump ? dx : 0.0f, ny = bump ? dy : 0.0f, nz = bump ? std::sqrt(1.0f - std::fmin(r2, 0.99f)) : 1.0f;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        const auto pack = [&](float v) { return static_cast<uint8_t>((v / length * 0.5f + 0.5f) * 255.0f); };
        Set(p, pack(nx), pack(ny), pack(nz), 255);
    }));
}

// The flat normal map every material without one of its own uses.
inline Picture FlatNormalPicture()
{
    return Painted(4, [](uint32_t, uint32_t, uint8_t* p) { Set(p, 128, 128, 255, 255); });
}

inline std::unique_ptr<Texture> FlatNormals() { return Upload(FlatNormalPicture()); }

// White with alpha cut into vertical bars: opaque bars of bar pixels, then clear ones.
inline std::unique_ptr<Texture> Bars(uint32_t side, uint32_t bar, const uint8_t colour[3])
{
    return Upload(Painted(side, [&](uint32_t x, uint32_t, uint8_t* p) {
        Set(p, colour[0], colour[1], colour[2], (x / bar) % 2 == 0 ? 255 : 0);
    }));
}

// A soft round spot: colour everywhere, alpha falling from 1 in the middle to 0 at the rim.
inline std::unique_ptr<Texture> Spot(uint32_t side, const uint8_t colour[3], bool alphaInColour)
{
    return Upload(Painted(side, [&](uint32_t x, uint32_t y, uint8_t* p) {
        const float dx = (static_cast<float>(x) + 0.5f) / static_cast<float>(side) * 2.0f - 1.0f;
        const float dy = (static_cast<float>(y) + 0.5f) / static_cast<float>(side) * 2.0f - 1.0f;
        const float a = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
        const float k = alphaInColour ? a : 1.0f;
        Set(p, static_cast<uint8_t>(colour[0] * k), static_cast<uint8_t>(colour[1] * k), static_cast<uint8_t>(colour[2] * k),
            static_cast<uint8_t>(a * 255.0f));
    }));
}

}  // namespace test_textures
