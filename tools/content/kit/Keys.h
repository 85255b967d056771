#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tools/content/kit/Vec3.h"
#include "tools/modelwriter/ModelFile.h"

// Keyframe tracks sampled from functions of time, at the engine's 10 keys a second. A track of
// frames keys plays keys 0 … frames − 1 over (frames − 1) / 10 seconds and loops; a loop is seamless
// when the last key equals the first.
namespace keys {

constexpr float kKeysPerSecond = 10.0f;

inline float TimeOf(int key) { return static_cast<float>(key) / kKeysPerSecond; }

// 0 before from, 1 after to, eased in and out between.
inline float Ease(float from, float to, float t)
{
    const float s = std::clamp((t - from) / (to - from), 0.0f, 1.0f);
    return s * s * (3.0f - 2.0f * s);
}

inline Float3 ToFloat3(const V3& v) { return {v.x, v.y, v.z}; }

// A pose of an object: where its origin stands and how it is turned about it.
struct Pose {
    V3 position;
    V3 axis{0, 1, 0};
    float angle = 0.0f;
};

inline ObjectKey ToKey(const Pose& pose) { return {ToFloat3(pose.position), ToFloat3(pose.axis), pose.angle, {}}; }

// An animated object whose loaded placement is its pose at time 0.
inline void Animate(ModelFileObject& object, int frames, const std::function<Pose(float)>& pose)
{
    object.animated = true;
    object.keys.clear();
    for (int k = 0; k < frames; ++k) object.keys.push_back(ToKey(pose(TimeOf(k))));
    object.placement = object.keys.front();
}

// What a camera holds at one time.
struct Shot {
    V3 eye;
    V3 target;
    float fieldOfView = 0.785398163f;  // radians
};

inline ModelFileCamera Camera(const std::string& name, int frames, const std::function<Shot(float)>& shot)
{
    ModelFileCamera camera;
    camera.name = name;
    camera.animated = true;
    for (int k = 0; k < frames; ++k) {
        const Shot s = shot(TimeOf(k));
        camera.eyeKeys.push_back(ToFloat3(s.eye));
        camera.targetKeys.push_back(ToFloat3(s.target));
        camera.fieldOfViewKeys.push_back(s.fieldOfView);
    }
    camera.staticFirst = camera.eyeKeys.front();
    camera.staticSecond = camera.targetKeys.front();
    camera.staticValue = camera.fieldOfViewKeys.front();
    return camera;
}

}  // namespace keys
