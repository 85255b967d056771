#include "engine/render/AlphaPixelShader.h"

bool AlphaPixelShader::Init()
{
    return Compile(kSourceFile);
}
