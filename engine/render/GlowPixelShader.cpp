#include "engine/render/GlowPixelShader.h"

bool GlowPixelShader::Init()
{
    const bool compiled = Compile(kSourceFile);
    glowColor_ = Lookup("glowColor");
    return compiled;
}

void GlowPixelShader::SetGlowColor(const Vec4& color) const
{
    WriteVector(glowColor_, color);
}
