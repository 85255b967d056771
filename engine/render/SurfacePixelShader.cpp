#include "engine/render/SurfacePixelShader.h"

#include <string>

#include "engine/render/NormalMapLightsPixelShader.h"
#include "engine/render/NormalMapLightsVertexShader.h"

bool SurfacePixelShader::Init(int lights, bool textured)
{
    lights_ = lights;
    const bool compiled =
        lights >= 0 && lights <= NormalMapLightsVertexShader::kMaxLights &&
        Compile(kSourceFile, {{"LIGHTS", std::to_string(lights)}, {"TEXTURED", textured ? "1" : "0"}});
    lightColors_ = Lookup("lightColors");
    baseColor_ = Lookup("baseColor");
    glowMix_ = Lookup("glowMix");
    diffuseColor_ = Lookup("diffuseColor");
    return compiled;
}

void SurfacePixelShader::SetLights(PointLight* const* lights) const
{
    WriteMatrix(lightColors_, NormalMapLightsPixelShader::ColorRows(lights, lights_));
}

void SurfacePixelShader::SetBase(const Vec4& color, float glowMix) const
{
    WriteVector(baseColor_, color);
    WriteFloat(glowMix_, glowMix);
}

void SurfacePixelShader::SetDiffuseColor(const Vec4& color) const
{
    WriteVector(diffuseColor_, color);
}
