#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "SceneTestSupport.h"
#include "tools/modelwriter/ModelFile.h"

// Models for the loader and posing tests, built with the writer.
inline Float3 F3(float x, float y, float z) { return {x, y, z}; }

inline ModelFileObject QuadObject(int32_t material, float offset)
{
    ModelFileObject object;
    object.material = material;
    QuadMesh(object.vertices, object.indices, offset);
    return object;
}

// Every record kind, with three frames of animation on the scene, the second object, the first
// light and the first camera.
inline ModelFile FullModel()
{
    ModelFile model;
    model.sceneFirst = F3(1, 2, 3);
    model.sceneSecond = F3(4, 5, 6);
    model.frameCount = 3;
    model.animated = true;
    model.modelTrackFirst = {F3(1, 0, 0), F3(2, 0, 0), F3(3, 0, 0)};
    model.modelTrackSecond = {F3(0, 1, 0), F3(0, 2, 0), F3(0, 3, 0)};

    ModelFileMaterial plain;
    plain.ambient = F3(0.1f, 0.2f, 0.3f);
    plain.diffuse = F3(0.4f, 0.5f, 0.6f);
    ModelFileMaterial mapped;
    mapped.ambient = F3(0.7f, 0.8f, 0.9f);
    mapped.diffuse = F3(1, 1, 1);
    mapped.bumpMap = "hull_bump.tga";
    mapped.texture = "hull.tga";
    mapped.alphaMask = true;
    mapped.glow = true;
    ModelFileMaterial sharing = mapped;
    sharing.alphaMask = false;
    sharing.glow = false;
    model.materials = {plain, mapped, sharing};

    ModelFileObject still = QuadObject(1, 0.0f);
    still.placement.position = F3(10, 20, 30);
    still.placement.axis = F3(0, 1, 0);
    still.placement.angle = std::acos(-1.0f) / 2;
    still.placement.third = F3(7, 7, 7);
    ModelFileObject moving = QuadObject(-1, 5.0f);
    moving.placement.position = F3(-1, -2, -3);
    moving.animated = true;
    for (int f = 0; f < 3; ++f) {
        ObjectKey key;
        key.position = F3(static_cast<float>(f), 0, 0);
        key.axis = F3(0, 0, 1);
        key.angle = 0.1f * static_cast<float>(f);
        key.third = F3(9, 9, 9);
        moving.keys.push_back(key);
    }
    model.objects = {still, moving};

    ModelFileLight flicker;
    flicker.colour = F3(1, 0.5f, 0.25f);
    flicker.position = F3(0, 50, 0);
    flicker.radius = 100;
    flicker.animated = true;
    flicker.colourKeys = {F3(1, 0, 0), F3(0, 1, 0), F3(0, 0, 1)};
    flicker.positionKeys = {F3(0, 0, 0), F3(10, 0, 0), F3(20, 0, 0)};
    flicker.radiusKeys = {10, 20, 30};
    ModelFileLight steady;
    steady.colour = F3(0.2f, 0.2f, 0.2f);
    steady.position = F3(5, 5, 5);
    steady.radius = 7;
    model.lights = {flicker, steady};

    ModelFileCamera intro;
    intro.staticFirst = F3(1, 1, 1);
    intro.staticSecond = F3(2, 2, 2);
    intro.staticValue = 0.75f;
    intro.name = "introCam";
    intro.animated = true;
    intro.eyeKeys = {F3(0, 100, 0), F3(0, 100, 10), F3(0, 100, 20)};
    intro.targetKeys = {F3(0, 0, 0), F3(0, 0, 10), F3(0, 0, 20)};
    intro.fieldOfViewKeys = {1.0f, 1.2f, 1.4f};
    ModelFileCamera other;
    other.name = "Camera01";
    model.cameras = {intro, other};
    return model;
}

// A header followed by the four list counts, all zero.
inline ModelFile EmptyModel() { return ModelFile{}; }
