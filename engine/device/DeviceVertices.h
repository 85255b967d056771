#pragma once

#include <cstdint>

#include "engine/device/DeviceStates.h"

// The vertex layouts the device draws. Colours are packed ARGB (PackColor). Each record is laid
// out exactly as its stride says, so arrays of them go to the device as they are.

// The mesh vertex of static vertex buffers: 56 bytes.
struct MeshVertex {
    float position[3];  // offset 0
    float normal[3];    // offset 12
    float texCoord[2];  // offset 24
    float tangent[3];   // offset 32
    float binormal[3];  // offset 44
};
static_assert(sizeof(MeshVertex) == 56);

// Fvf::XYZ | Fvf::Tex1, 20 bytes: the glow pass's screen quad, in clip space through a vertex shader.
struct QuadVertex {
    float x, y, z;
    float u, v;
    static constexpr uint32_t kFvf = Fvf::XYZ | Fvf::Tex1;
};
static_assert(sizeof(QuadVertex) == 20);

// Fvf::XYZ | Fvf::Diffuse | Fvf::Tex1 | Fvf::TexCoordSize4_0, 32 bytes: a particle corner; the
// four texture values carry the centre and the size.
struct ParticleVertex {
    float x, y, z;
    uint32_t color;
    float t0, t1, t2, t3;
    static constexpr uint32_t kFvf = Fvf::XYZ | Fvf::Diffuse | Fvf::Tex1 | Fvf::TexCoordSize4_0;
};
static_assert(sizeof(ParticleVertex) == 32);

// Fvf::XYZRHW | Fvf::Diffuse | Fvf::Tex1, 28 bytes: a sprite corner in screen pixels. Pixel
// centres lie on whole coordinates, (0, 0) is the top-left pixel; z is depth 0..1.
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
    static constexpr uint32_t kFvf = Fvf::XYZRHW | Fvf::Diffuse | Fvf::Tex1;
};
static_assert(sizeof(ScreenVertex) == 28);

// Fvf::XYZRHW | Fvf::Diffuse, 20 bytes: the fade overlay's corners in screen pixels.
struct ScreenColorVertex {
    float x, y, z, rhw;
    uint32_t color;
    static constexpr uint32_t kFvf = Fvf::XYZRHW | Fvf::Diffuse;
};
static_assert(sizeof(ScreenColorVertex) == 20);

// The stride of a vertex format DrawPrimitiveUP accepts, or 0 for any other.
constexpr uint32_t StrideOfFvf(uint32_t fvf)
{
    switch (fvf) {
    case QuadVertex::kFvf: return sizeof(QuadVertex);
    case ParticleVertex::kFvf: return sizeof(ParticleVertex);
    case ScreenVertex::kFvf: return sizeof(ScreenVertex);
    case ScreenColorVertex::kFvf: return sizeof(ScreenColorVertex);
    default: return 0;
    }
}
