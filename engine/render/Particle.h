#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"

class Texture;

// A camera-facing square submitted for one frame by pointer; the submitter owns it and keeps it
// alive until the frame is rendered. Blend mode 1 adds, 3 blends by alpha (see Renderer).
struct Particle {
    Texture* texture = nullptr;  // null draws the colour alone
    Vec4 position{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 color{1.0f, 1.0f, 1.0f, 1.0f};  // r, g, b, a, 0..1
    float size = 1.0f;                   // half the side, in world units
    int32_t blendMode = 0;
    float depth = 0.0f;  // written by the renderer each frame: clip-space z before the division
};
