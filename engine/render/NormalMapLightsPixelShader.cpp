#include "engine/render/NormalMapLightsPixelShader.h"

#include <string>

#include "engine/render/NormalMapLightsVertexShader.h"
#include "engine/scene/PointLight.h"

bool NormalMapLightsPixelShader::Init(int lights)
{
    lights_ = lights;
    const bool compiled = lights >= 1 && lights <= kMaxLights &&
                          Compile(kSourceFile, {{"LIGHTS", std::to_string(lights)}});
    lightColors_ = Lookup("lightColors");
    return compiled;
}

Matrix NormalMapLightsPixelShader::ColorRows(PointLight* const* lights, int count)
{
    Matrix colors;
    for (int i = 0; i < count; ++i) {
        const Vec4& colour = lights[i]->colour;
        const float row[4] = {colour.x, colour.y, colour.z, colour.w};
        for (int j = 0; j < 4; ++j) colors.m[i * 4 + j] = row[j];
    }
    return colors;
}

void NormalMapLightsPixelShader::SetLights(PointLight* const* lights) const
{
    WriteMatrix(lightColors_, ColorRows(lights, lights_));
}
