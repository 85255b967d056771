#pragma once

#include "engine/math/Vec4.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/Track.h"
#include "engine/scene/VectorTrack.h"

// One light of a model. The head is what the renderer reads each frame; the file values and
// tracks are what posing and animation fill it from.
struct SceneLight {
    PointLight light;
    Vec4 filePosition{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 fileColour{0.0f, 0.0f, 0.0f, 1.0f};
    float fileRadius = 0.0f;
    bool animated = false;
    VectorTrack positionTrack;
    VectorTrack colourTrack;
    Track radiusTrack;
};
