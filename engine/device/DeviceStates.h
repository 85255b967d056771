#pragma once

#include <cstdint>

// The graphics device's vocabulary: the names and values of the Direct3D 9 states that the
// renderer, the meshes and the textures set. Values keep their Direct3D numbers so that stored
// settings (such as the texture filter's 2, 2, 1, 1) mean the same thing here.

// Keys of GraphicsDevice::SetRenderState.
enum class RenderState : uint32_t {
    ZEnable,           // boolean; depth test
    ZWriteEnable,      // boolean; depth writes
    ZFunc,             // Compare
    CullMode,          // Cull
    Lighting,          // boolean; kept for callers, the device has no fixed-function lighting
    AlphaTestEnable,   // boolean
    AlphaRef,          // 0..255
    AlphaFunc,         // Compare
    AlphaBlendEnable,  // boolean
    SrcBlend,          // Blend
    DestBlend,         // Blend
    TextureFactor,     // packed colour (see PackColor), read by TextureArg::TFactor
    Count
};

// Keys of GraphicsDevice::SetTextureStageState.
enum class StageState : uint32_t {
    ColorOp,        // TextureOp
    ColorArg0,      // TextureArg, the proportion of TextureOp::Lerp
    ColorArg1,      // TextureArg
    ColorArg2,      // TextureArg
    AlphaOp,        // TextureOp
    AlphaArg0,      // TextureArg
    AlphaArg1,      // TextureArg
    AlphaArg2,      // TextureArg
    TexCoordIndex,  // which of the vertex's texture coordinates the stage samples with
    Count
};

// Keys of GraphicsDevice::SetSamplerState.
enum class SamplerState : uint32_t {
    AddressU,       // TextureAddress
    AddressV,       // TextureAddress
    AddressW,       // TextureAddress
    MagFilter,      // TextureFilterType
    MinFilter,      // TextureFilterType
    MipFilter,      // TextureFilterType
    MaxAnisotropy,  // 1 and up
    Count
};

enum class TransformType : uint32_t { World, View, Projection, Count };

struct Cull {
    enum : uint32_t { None = 1, CW = 2, CCW = 3 };
};

struct Compare {
    enum : uint32_t { Never = 1, Less = 2, Equal = 3, LessEqual = 4, Greater = 5, NotEqual = 6, GreaterEqual = 7, Always = 8 };
};

struct Blend {
    enum : uint32_t {
        Zero = 1,
        One = 2,
        SrcColor = 3,
        InvSrcColor = 4,
        SrcAlpha = 5,
        InvSrcAlpha = 6,
        DestAlpha = 7,
        InvDestAlpha = 8,
        DestColor = 9,
        InvDestColor = 10,
    };
};

// Colour and alpha operations of a texture stage.
struct TextureOp {
    enum : uint32_t { Disable = 1, SelectArg1 = 2, SelectArg2 = 3, Modulate = 4, DotProduct3 = 24, Lerp = 26 };
};

// Arguments of a texture stage: one source, optionally with AlphaReplicate or Complement or'ed in.
struct TextureArg {
    enum : uint32_t {
        Diffuse = 0,
        Current = 1,
        Texture = 2,
        TFactor = 3,
        Specular = 4,
        SelectMask = 0x0f,
        Complement = 0x10,
        AlphaReplicate = 0x20,
    };
};

struct TextureAddress {
    enum : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, MirrorOnce = 5 };
};

struct TextureFilterType {
    enum : uint32_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };
};

// Flexible vertex format bits; GraphicsDevice::DrawPrimitiveUP takes the four combinations listed
// in DeviceVertices.h.
struct Fvf {
    enum : uint32_t {
        XYZ = 0x002,
        XYZRHW = 0x004,
        Diffuse = 0x040,
        Specular = 0x080,
        Tex1 = 0x100,
        TexCoordSize4_0 = 0x00020000,  // texture coordinate 0 has four components
    };
};

struct ClearFlags {
    enum : uint32_t { Target = 1, ZBuffer = 2, Stencil = 4 };
};

enum class PrimitiveType : uint32_t { TriangleList = 4, TriangleStrip = 5 };

// Texture stages and samplers the device keeps state for.
constexpr uint32_t kMaxTextureStages = 8;

// A colour packed as Direct3D's 32-bit ARGB: alpha in the top byte, then red, green, blue.
constexpr uint32_t PackColor(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return ((a & 0xffu) << 24) | ((r & 0xffu) << 16) | ((g & 0xffu) << 8) | (b & 0xffu);
}
