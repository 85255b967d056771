#include "engine/render/SurfacePixelShader.h"

#include <algorithm>
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
    moreLightColors_ = Lookup("moreLightColors");
    baseColor_ = Lookup("baseColor");
    glowMix_ = Lookup("glowMix");
    diffuseColor_ = Lookup("diffuseColor");
    return compiled;
}

namespace {

// The shader takes its colours held to 0..1, as the texture stages hold them.
Vec4 Held(const Vec4& color)
{
    return Vec4(std::clamp(color.x, 0.0f, 1.0f), std::clamp(color.y, 0.0f, 1.0f), std::clamp(color.z, 0.0f, 1.0f),
                std::clamp(color.w, 0.0f, 1.0f));
}

// Up to four lights' colours, a light a row, held to 0..1.
Matrix HeldColorRows(PointLight* const* lights, int count)
{
    Matrix colors = NormalMapLightsPixelShader::ColorRows(lights, count);
    for (float& value : colors.m) value = std::clamp(value, 0.0f, 1.0f);
    return colors;
}

}  // namespace

void SurfacePixelShader::SetLights(PointLight* const* lights) const
{
    WriteMatrix(lightColors_, HeldColorRows(lights, std::min(lights_, 4)));
    if (lights_ > 4) WriteMatrix(moreLightColors_, HeldColorRows(lights + 4, lights_ - 4));
}

void SurfacePixelShader::SetBase(const Vec4& color, float glowMix) const
{
    WriteVector(baseColor_, Held(color));
    WriteFloat(glowMix_, glowMix);
}

void SurfacePixelShader::SetDiffuseColor(const Vec4& color) const
{
    WriteVector(diffuseColor_, Held(color));
}
