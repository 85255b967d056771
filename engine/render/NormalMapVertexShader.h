#pragma once

#include "engine/render/VertexShader.h"

// Feeds the per-pixel lighting of one point light: the light direction in tangent space as the
// vertex colour, the position inside the light's reach for the attenuation volume, the light's
// colour as the specular colour.
class NormalMapVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "normalmapvertexshader.vsh";
    // The reach "radius" holds until a light is applied: 1 / 80 units.
    static constexpr float kDefaultInverseRadius = 0.0125f;

    bool Init();
    void SetWorldViewProj(const Matrix& worldViewProj) const;
    // The inverse of the object's world matrix, to bring the light into object space.
    void SetInvWorld(const Matrix& invWorld) const;
    void SetLightPosition(const Vec4& position) const;
    void SetDiffuseColor(const Vec4& color) const;
    // Writes 1 / radius: the shader scales distances by the reciprocal of the reach.
    void SetLightRadius(float radius) const;

private:
    ConstantHandle worldViewProj_ = kNullConstant;
    ConstantHandle invWorld_ = kNullConstant;
    ConstantHandle lightPosition_ = kNullConstant;
    ConstantHandle diffuseColor_ = kNullConstant;
    ConstantHandle radius_ = kNullConstant;
};
