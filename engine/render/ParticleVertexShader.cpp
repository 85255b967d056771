#include "engine/render/ParticleVertexShader.h"

#include "engine/scene/Camera.h"

bool ParticleVertexShader::Init()
{
    const bool compiled = Compile(kSourceFile);
    up_ = Lookup("up");
    right_ = Lookup("right");
    worldViewProjMatrix_ = Lookup("worldViewProjMatrix");
    return compiled;
}

void ParticleVertexShader::SetCamera(const Matrix& view, const Matrix& viewProjection) const
{
    Vec4 up = view.Column(1);
    up.w = 0.0f;
    Vec4 right = view.Column(0);
    right.w = 0.0f;
    WriteVector(up_, up);
    WriteVector(right_, right);
    WriteMatrix(worldViewProjMatrix_, viewProjection);
}

void ParticleVertexShader::SetCamera(const Camera& camera) const
{
    SetCamera(camera.View(), camera.ViewProjection());
}
