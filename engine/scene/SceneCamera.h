#pragma once

#include <cstring>

#include "engine/math/Vec4.h"
#include "engine/scene/Track.h"
#include "engine/scene/VectorTrack.h"

// One named camera of a model: eye, target and field of view as tracks. The static vectors and
// value are kept as the file holds them; nothing gives them a meaning.
struct SceneCamera {
    static constexpr size_t kNameSize = 256;

    Vec4 staticFirst{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 staticSecond{0.0f, 0.0f, 0.0f, 1.0f};
    float staticValue = 0.0f;
    char name[kNameSize] = {};
    bool animated = false;
    VectorTrack eyeTrack;
    VectorTrack targetTrack;
    Track fieldOfViewTrack;

    // Byte for byte up to the terminating zero, so letter case matters.
    bool IsNamed(const char* wanted) const { return std::strncmp(name, wanted, kNameSize) == 0 && std::strlen(wanted) < kNameSize; }
};
