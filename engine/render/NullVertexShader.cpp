#include "engine/render/NullVertexShader.h"

bool NullVertexShader::Init()
{
    const bool compiled = Compile(kSourceFile);
    worldViewProj_ = Lookup("worldViewProj");
    diffuseColor_ = Lookup("diffuseColor");
    return compiled;
}

void NullVertexShader::SetWorldViewProj(const Matrix& worldViewProj) const
{
    WriteMatrix(worldViewProj_, worldViewProj);
}

void NullVertexShader::SetDiffuseColor(const Vec4& color) const
{
    WriteVector(diffuseColor_, color);
}
