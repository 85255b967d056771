#pragma once

#include <vector>

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// A rotation as the engine's objects hold it: an angle in radians about an axis, applied as
// Matrix::Rotate builds it. A zero axis stands for no rotation (the engine then skips it).
struct AxisAngle {
    Vec4 axis{0.0f, 0.0f, 0.0f, 1.0f};
    float angle = 0.0f;

    // The rotation of a proper rotation matrix (row-vector form, upper 3 × 3 read): a unit axis
    // and an angle in [0, π], or the zero axis when the rotation is too small to have one.
    static AxisAngle FromRotation(const Matrix& rotation);

    // Keys the engine interpolates linearly, axis and angle apart: each key takes, of the ways
    // to write its rotation, the one nearest the key before it (axis on the same side, angle
    // within π), and a key without an axis borrows its neighbour's. Every key keeps the rotation
    // it stands for.
    static void MakeContinuous(std::vector<AxisAngle>& keys);
};
