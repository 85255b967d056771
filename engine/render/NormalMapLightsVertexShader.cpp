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
    moreLightPositions_ = Lookup("moreLightPositions");
    moreLightRadii_ = Lookup("moreLightRadii");
    return compiled;
}

void NormalMapLightsVertexShader::SetWorldViewProj(const Matrix& worldViewProj) const
{
    WriteMatrix(worldViewProj_, worldViewProj);
}

// A light a row of the positions, four to a matrix; the reaches as reciprocals, as SetLightRadius
// writes them.
void NormalMapLightsVertexShader::SetLights(PointLight* const* lights, const Matrix& invWorld) const
{
    Matrix positions[2];
    float radii[kMaxLights] = {};
    for (int i = 0; i < lights_; ++i) {
        const PointLight& light = *lights[i];
        const Vec4 place = invWorld.Transform(Vec4(light.position.x, light.position.y, light.position.z, 1.0f));
        const float row[4] = {place.x, place.y, place.z, 1.0f};
        for (int j = 0; j < 4; ++j) positions[i / 4].m[(i % 4) * 4 + j] = row[j];
        radii[i] = 1.0f / light.radius;
    }
    WriteMatrix(lightPositions_, positions[0]);
    WriteVector(lightRadii_, Vec4(radii[0], radii[1], radii[2], radii[3]));
    if (lights_ > 4) {
        WriteMatrix(moreLightPositions_, positions[1]);
        WriteVector(moreLightRadii_, Vec4(radii[4], radii[5], radii[6], radii[7]));
    }
}
