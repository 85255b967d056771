#include "engine/render/GlowVertexShader.h"

bool GlowVertexShader::Init()
{
    const bool compiled = Compile(kSourceFile);
    blur_ = Lookup("blur");
    hdir_ = Lookup("hdir");
    offset_ = Lookup("offset");
    return compiled;
}

void GlowVertexShader::SetBlur(float blur) const
{
    WriteFloat(blur_, blur);
}

void GlowVertexShader::SetHorizontal(bool horizontal) const
{
    WriteBool(hdir_, horizontal);
}

void GlowVertexShader::SetTexelOffset(int32_t width, int32_t height) const
{
    // A zero size would divide by zero; such a target has no texels to shift by.
    const float x = width != 0 ? 0.5f / static_cast<float>(width) : 0.0f;
    const float y = height != 0 ? 0.5f / static_cast<float>(height) : 0.0f;
    WriteVector(offset_, Vec4(x, y, 0.0f, 1.0f));
}
