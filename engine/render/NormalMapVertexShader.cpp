#include "engine/render/NormalMapVertexShader.h"

bool NormalMapVertexShader::Init()
{
    const bool compiled = Compile(kSourceFile);
    worldViewProj_ = Lookup("worldViewProj");
    invWorld_ = Lookup("invWorld");
    lightPosition_ = Lookup("lightPosition");
    diffuseColor_ = Lookup("diffuseColor");
    radius_ = Lookup("radius");
    WriteFloat(radius_, kDefaultInverseRadius);
    return compiled;
}

void NormalMapVertexShader::SetWorldViewProj(const Matrix& worldViewProj) const
{
    WriteMatrix(worldViewProj_, worldViewProj);
}

void NormalMapVertexShader::SetInvWorld(const Matrix& invWorld) const
{
    WriteMatrix(invWorld_, invWorld);
}

void NormalMapVertexShader::SetLightPosition(const Vec4& position) const
{
    WriteVector(lightPosition_, position);
}

void NormalMapVertexShader::SetDiffuseColor(const Vec4& color) const
{
    WriteVector(diffuseColor_, color);
}

void NormalMapVertexShader::SetLightRadius(float radius) const
{
    WriteFloat(radius_, 1.0f / radius);
}
