#pragma once

#include "engine/render/VertexShader.h"

class Camera;

// Spreads each particle corner around the particle's centre along the camera's right and up axes.
class ParticleVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "particlevertexshader.vsh";

    bool Init();
    // "up" and "right" from columns 1 and 0 of the camera's view matrix (fourth components 0), then
    // "worldViewProjMatrix" from its view × projection, in that order.
    void SetCamera(const Camera& camera) const;
    void SetCamera(const Matrix& view, const Matrix& viewProjection) const;

private:
    ConstantHandle up_ = kNullConstant;
    ConstantHandle right_ = kNullConstant;
    ConstantHandle worldViewProjMatrix_ = kNullConstant;
};
