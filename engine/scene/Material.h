#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"
#include "engine/scene/GrowArray.h"
#include "engine/scene/MeshInstance.h"

class SceneObject;
class Texture;

// One material of a model: its colours and maps, the objects drawn with it, and the renderer's
// instances of those objects in the frame the material was last submitted.
struct Material {
    GrowArray<SceneObject*> users;
    GrowArray<MeshInstance> instances;
    // The renderer frame of the last submission; −1 matches no frame, so the first submission
    // always puts the material on the frame's list.
    int32_t frameStamp = -1;
    Vec4 ambient{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 diffuse{0.0f, 0.0f, 0.0f, 1.0f};
    Texture* bumpMap = nullptr;   // from the texture cache, not owned
    Texture* texture = nullptr;   // null when the material has no colour texture
    bool alphaMask = false;
    bool glow = false;

    Material() = default;
    // A copy takes the colours, maps and flags; users and instances belong to the original.
    Material(const Material& other);
    Material& operator=(const Material&) = delete;
    // Objects still listed forget this material, so none points at it afterwards.
    ~Material();
};
