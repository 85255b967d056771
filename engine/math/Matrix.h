#pragma once

#include <cmath>

#include "engine/math/Vec4.h"

// Sixteen floats, row-major (row r, column c at 4r + c), for row vectors: v' = v × M, so in A × B
// the transform A acts first. Row 3 holds the translation. Left-handed world, angles in radians.
struct Matrix {
    float m[16];

    // A new matrix is the identity.
    Matrix() { SetIdentity(); }

    static Matrix Identity() { return Matrix(); }

    float& operator()(int row, int col) { return m[row * 4 + col]; }
    float operator()(int row, int col) const { return m[row * 4 + col]; }

    void SetIdentity();

    Vec4 Transform(const Vec4& v) const;
    Vec4 Column(int c) const { return {m[c], m[4 + c], m[8 + c], m[12 + c]}; }
    Vec4 Row(int r) const { return {m[r * 4], m[r * 4 + 1], m[r * 4 + 2], m[r * 4 + 3]}; }

    // M := T × M, T the identity whose row 3 is (v.x, v.y, v.z, v.w).
    void Translate(const Vec4& v);
    // M := R × M, R the rotation about the axis by the angle. A zero axis makes M the identity.
    void Rotate(float angle, const Vec4& axis);
    // Inverts in place; false (M unchanged) when |determinant| < 0.0005.
    bool Invert();
    float Determinant() const;

    // Left-handed projection and view matrices: depth 0 at the near plane, 1 at the far plane.
    static Matrix PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
    static Matrix LookAtLH(const Vec4& eye, const Vec4& at, const Vec4& up);
    static Matrix Scaling(float sx, float sy, float sz);
    static Matrix Translation(float x, float y, float z);
};

// Result[r][c] = Σk A[r][k] · B[k][c]: A's transform acts first on row vectors.
Matrix operator*(const Matrix& a, const Matrix& b);

// π, computed once as the arc cosine of −1.
inline float Pi()
{
    static const float pi = std::acos(-1.0f);
    return pi;
}
