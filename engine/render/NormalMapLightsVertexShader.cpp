#include "engine/render/NormalMapLightsVertexShader.h"

#include <string>

#include "engine/scene/PointLight.h"

bool NormalMapLightsVertexShader::Init(int lights)
{
    lights_ = lights;
    const bool compiled = lights >= 0 && lights <= kMaxLights && Compile(kSourceFile, {{"LIGHTS", std::to_string(lights)}});
    worldViewProj_ = Lookup("worldViewProj");
    lightPositions_ = Lookup("lightPositions");
    lightRadii_ = Lookup("lightRadii");
    return compiled;
}

void NormalMapLightsVertexShader::SetWorldViewProj(const Matrix& worldViewProj) const
{
    WriteMatrix(worldViewProj_, worldViewProj);
}

// A light a row of the positions; the reaches as reciprocals, as SetLightRadius writes them.
void NormalMapLightsVertexShader::SetLights(PointLight* const* lights, const Matrix& invWorld) const
{
    Matrix positions;
    float radii[kMaxLights] = {};
    for (int i = 0; i < lights_; ++i) {
        const PointLight& light = *lights[i];
        const Vec4 place = invWorld.Transform(Vec4(light.position.x, light.position.y, light.position.z, 1.0f));
        const float row[4] = {place.x, place.y, place.z, 1.0f};
        for (int j = 0; j < 4; ++j) positions.m[i * 4 + j] = row[j];
        radii[i] = 1.0f / light.radius;
    }
    WriteMatrix(lightPositions_, positions);
    WriteVector(lightRadii_, Vec4(radii[0], radii[1], radii[2], radii[3]));
}
