#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"

class Texture;

// A screen-aligned rectangle submitted for one frame by pointer; the submitter owns it and keeps
// it alive until the frame is rendered. Corners are fractions of the screen, (0, 0) top left and
// (1, 1) bottom right; only x and y are read.
struct Sprite {
    Texture* texture = nullptr;  // null draws the colour alone
    int32_t blendMode = 0;
    Vec4 color{1.0f, 1.0f, 1.0f, 1.0f};  // r, g, b, a, 0..1
    Vec4 topLeft{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 bottomRight{0.0f, 0.0f, 0.0f, 1.0f};
};
