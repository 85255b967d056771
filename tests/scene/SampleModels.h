#pragma once

#include <cmath>
#include <vector>

#include "SceneTestSupport.h"
#include "tools/modelwriter/ModelFile.h"

// Models for the loader and posing tests, built with the writer.
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
    model.sceneFirst = {1, 2, 3};
    model.sceneSecond = {4, 5, 6};
    model.frameCount = 3;
    model.animated = true;
    model.modelTrackFirst = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
    model.modelTrackSecond = {{0, 1, 0}, {0, 2, 0}, {0, 3, 0}};
    const ModelFileMaterial mapped{{0.7f, 0.8f, 0.9f}, {1, 1, 1}, "hull_bump.tga", "hull.tga", true, true};
    model.materials = {{{0.1f, 0.2f, 0.3f}, {0.4f, 0.5f, 0.6f}, "", "", false, false}, mapped, mapped};
    model.materials[2].alphaMask = model.materials[2].glow = false;

    ModelFileObject still = QuadObject(1, 0.0f);
    still.placement = {{10, 20, 30}, {0, 1, 0}, std::acos(-1.0f) / 2, {7, 7, 7}};
    ModelFileObject moving = QuadObject(-1, 5.0f);
    moving.placement.position = {-1, -2, -3};
    moving.animated = true;
    for (int f = 0; f < 3; ++f) moving.keys.push_back({{static_cast<float>(f), 0, 0}, {0, 0, 1}, 0.1f * static_cast<float>(f), {9, 9, 9}});
    model.objects = {still, moving};

    model.lights = {{{1, 0.5f, 0.25f}, {0, 50, 0}, 100, true, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                     {{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}, {10, 20, 30}},
                    {{0.2f, 0.2f, 0.2f}, {5, 5, 5}, 7, false, {}, {}, {}}};
    model.cameras = {{{1, 1, 1}, {2, 2, 2}, 0.75f, "introCam", true, {{0, 100, 0}, {0, 100, 10}, {0, 100, 20}},
                      {{0, 0, 0}, {0, 0, 10}, {0, 0, 20}}, {1.0f, 1.2f, 1.4f}},
                     {{}, {}, 0.0f, "Camera01", false, {}, {}, {}}};
    return model;
}
