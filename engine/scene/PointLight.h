#pragma once

#include "engine/math/Vec4.h"

// A point light as the renderer takes it: world position, colour and the distance it reaches.
// Heads every light of a model and every light an effect submits.
struct PointLight {
    Vec4 position{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 colour{0.0f, 0.0f, 0.0f, 1.0f};
    float radius = 0.0f;

    PointLight() = default;
    PointLight(const PointLight&) = default;
    PointLight& operator=(const PointLight&) = default;
    // A light that outlives its owner by mistake then reaches nothing.
    ~PointLight() { radius = 0.0f; }

    // Hands the light to the per-pixel lighting vertex shader. Any shader type with these three
    // setters fits, so the scene layer needs nothing of the renderer's.
    template <typename LightingShader>
    void Apply(LightingShader& shader) const
    {
        shader.SetLightPosition(position);
        shader.SetDiffuseColor(colour);
        shader.SetLightRadius(radius);
    }
};
