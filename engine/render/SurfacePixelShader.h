#pragma once

#include "engine/render/PixelShader.h"

struct PointLight;

// A surface's ambient colour, lights and colour texture in one draw, with
// NormalMapLightsVertexShader compiled for as many lights: the normal map on stage 0 and the colour
// texture on stage 2; the attenuation is worked out as the volume texture holds it. Compiled for a
// fixed number of lights, with or without a colour texture.
class SurfacePixelShader final : public PixelShader {
public:
    static constexpr const char* kSourceFile = "surfacepixelshader.psh";

    // Compiles the shader for `lights` lights, 0 to NormalMapLightsVertexShader::kMaxLights.
    bool Init(int lights, bool textured);
    int Lights() const { return lights_; }
    // The colours of the first Lights() lights of the list.
    void SetLights(PointLight* const* lights) const;
    // The ambient colour, and how far the texture's alpha turns it to white (1 for glowing
    // materials, 0 otherwise).
    void SetBase(const Vec4& color, float glowMix) const;
    // The colour the texture is multiplied by (the material's diffuse colour).
    void SetDiffuseColor(const Vec4& color) const;

private:
    int lights_ = 0;
    ConstantHandle lightColors_ = kNullConstant;
    ConstantHandle moreLightColors_ = kNullConstant;
    ConstantHandle baseColor_ = kNullConstant;
    ConstantHandle glowMix_ = kNullConstant;
    ConstantHandle diffuseColor_ = kNullConstant;
};
