#pragma once

#include "engine/render/VertexShader.h"

struct PointLight;

// Feeds the per-pixel lighting of several point lights in one pass, with NormalMapLightsPixelShader:
// for each light what NormalMapVertexShader computes for one. Compiled for a fixed number of lights.
class NormalMapLightsVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "normalmaplightsvertexshader.vsh";
    static constexpr int kMaxLights = 8;

    // Compiles the shader for `lights` lights, 0 to kMaxLights (0: position and texture coordinates
    // alone, for SurfacePixelShader; NormalMapLightsPixelShader takes up to four).
    bool Init(int lights);
    int Lights() const { return lights_; }

    void SetWorldViewProj(const Matrix& worldViewProj) const;
    // The positions of the first Lights() lights of the list, brought into the object's space by
    // the inverse of its world matrix, and their reaches.
    void SetLights(PointLight* const* lights, const Matrix& invWorld) const;

private:
    int lights_ = 0;
    ConstantHandle worldViewProj_ = kNullConstant;
    ConstantHandle lightPositions_ = kNullConstant;
    ConstantHandle lightRadii_ = kNullConstant;
    ConstantHandle moreLightPositions_ = kNullConstant;
    ConstantHandle moreLightRadii_ = kNullConstant;
};
