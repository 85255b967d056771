#pragma once

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// A transform taken apart the way an engine object can hold it: its placement only rotates
// about the origin and then moves, so whatever else the transform does (scale, shear, mirroring)
// is baked into the mesh. transform = baked × rotation × translation(position), row vectors.
struct RigidSplit {
    Matrix baked;     // upper 3 × 3 only; no translation
    Matrix rotation;  // a proper rotation (determinant +1)
    Vec4 position{0.0f, 0.0f, 0.0f, 1.0f};

    // False when the transform flattens space (a zero scale): no rotation can be found then.
    static bool Split(const Matrix& transform, RigidSplit* out);

    // True when the two baked parts agree within a small part of their size.
    static bool SameBaked(const Matrix& a, const Matrix& b);
};
