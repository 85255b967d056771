#pragma once

#include "engine/render/VertexShader.h"

struct PointLight;

// Feeds the per-pixel lighting of several point lights in one pass, with NormalMapLightsPixelShader:
// for each light what NormalMapVertexShader computes for one. Compiled for a fixed number of lights.
class NormalMapLightsVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "normalmaplightsvertexshader.vsh";
    static constexpr int kMaxLights = 4;

    // Compiles the shader for `lights` lights, 1 to kMaxLights.
    bool Init(int lights);
    int Lights() const { return lights_; }

    void SetWorldViewProj(const Matrix& worldViewProj) const;
    // The inverse of the object's world matrix, to bring the lights into object space.
    void SetInvWorld(const Matrix& invWorld) const;
    // The positions and reaches of the first Lights() lights of the list.
    void SetLights(PointLight* const* lights) const;

private:
    int lights_ = 0;
    ConstantHandle worldViewProj_ = kNullConstant;
    ConstantHandle invWorld_ = kNullConstant;
    ConstantHandle lightPositions_ = kNullConstant;
    ConstantHandle lightRadii_ = kNullConstant;
};
