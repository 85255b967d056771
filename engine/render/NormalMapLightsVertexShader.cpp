#include "engine/render/NormalMapLightsVertexShader.h"

#include <string>

#include "engine/scene/PointLight.h"

bool NormalMapLightsVertexShader::Init(int lights)
{
    lights_ = lights;
    const bool compiled = lights >= 1 && lights <= kMaxLights && Compile(kSourceFile, {{"LIGHTS", std::to_string(lights)}});
    worldViewProj_ = Lookup("worldViewProj");
    invWorld_ = Lookup("invWorld");
    lightPositions_ = Lookup("lightPositions");
    lightRadii_ = Lookup("lightRadii");
    return compiled;
}

void NormalMapLightsVertexShader::SetWorldViewProj(const Matrix& worldViewProj) const
{
    WriteMatrix(worldViewProj_, worldViewProj);
}

void NormalMapLightsVertexShader::SetInvWorld(const Matrix& invWorld) const
{
    WriteMatrix(invWorld_, invWorld);
}

// A light a row of the positions; the reaches as reciprocals, as SetLightRadius writes them.
void NormalMapLightsVertexShader::SetLights(PointLight* const* lights) const
{
    Matrix positions;
    float radii[kMaxLights] = {};
    for (int i = 0; i < lights_; ++i) {
        const PointLight& light = *lights[i];
        const float row[4] = {light.position.x, light.position.y, light.position.z, light.position.w};
        for (int j = 0; j < 4; ++j) positions.m[i * 4 + j] = row[j];
        radii[i] = 1.0f / light.radius;
    }
    WriteMatrix(lightPositions_, positions);
    WriteVector(lightRadii_, Vec4(radii[0], radii[1], radii[2], radii[3]));
}
