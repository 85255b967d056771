#pragma once

#include <cstdint>

#include "engine/math/Matrix.h"
#include "engine/scene/GrowArray.h"

class SceneObject;
struct PointLight;

// One submission of an object in one frame, kept by the object's material until the material
// is next submitted: where the object stands, whether it survived culling, which lights reach it.
struct MeshInstance {
    SceneObject* object = nullptr;
    Matrix world;
    Matrix inverseWorld;
    uint8_t visible = 1;
    GrowArray<PointLight*> lights;

    MeshInstance() = default;
    MeshInstance(const MeshInstance& other)
        : object(other.object), world(other.world), inverseWorld(other.inverseWorld), visible(other.visible)
    {
        for (PointLight* light : other.lights) lights.Append(light);
    }
    MeshInstance& operator=(const MeshInstance&) = delete;
};
