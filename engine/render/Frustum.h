#pragma once

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// The camera's viewing volume in world space: the 8 corners of the clip-space box brought back
// through the inverse view × projection, and the 6 planes through them. A plane (x, y, z, w)
// holds the point p inside when x·p.x + y·p.y + z·p.z + w >= 0.
struct Frustum {
    // Corner i has clip x = -1 or 1 by bit 0, y by bit 1, depth 0 or 1 by bit 2.
    Vec4 corners[8];
    // Near, far, left, right, bottom, top; normals point inwards.
    Vec4 planes[6];

    // False, leaving the frustum unchanged, for a matrix that cannot be inverted.
    bool Build(const Matrix& viewProjection);

    float DistanceTo(int plane, const Vec4& point) const;
    // True when all 8 points lie outside one common plane.
    bool BoxOutside(const Vec4 points[8]) const;
    // True when the sphere lies wholly outside one plane.
    bool SphereOutside(const Vec4& centre, float radius) const;
};

// The inverse of a matrix, also of one whose determinant is too small for Matrix::Invert (an
// object scaled down a long way); false when it has none.
bool InvertMatrix(const Matrix& matrix, Matrix* inverse);
