#pragma once

#include "engine/render/PixelShader.h"

struct PointLight;

// The light pass's texture stages for several lights at once, with NormalMapLightsVertexShader: the
// normal map on stage 0, the attenuation volume on stage 1, each light's colour a constant.
// Compiled for a fixed number of lights.
class NormalMapLightsPixelShader final : public PixelShader {
public:
    static constexpr const char* kSourceFile = "normalmaplightspixelshader.psh";
    static constexpr int kMaxLights = 4;

    // Compiles the shader for `lights` lights, 1 to kMaxLights.
    bool Init(int lights);
    // The colours of the first `lights` lights of the list.
    void SetLights(PointLight* const* lights) const;
    // The colours of the first `count` lights of the list, a light a row.
    static Matrix ColorRows(PointLight* const* lights, int count);

private:
    int lights_ = 0;
    ConstantHandle lightColors_ = kNullConstant;
};
