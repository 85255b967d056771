#include "engine/math/Matrix.h"

#include <cmath>

namespace {

constexpr float kInverseThreshold = 0.0005f;

// Determinant of the 3 × 3 minor of m that leaves out row skipRow and column skipCol.
float Minor(const Matrix& m, int skipRow, int skipCol)
{
    float e[9];
    int k = 0;
    for (int r = 0; r < 4; ++r) {
        if (r == skipRow) continue;
        for (int c = 0; c < 4; ++c) {
            if (c == skipCol) continue;
            e[k++] = m(r, c);
        }
    }
    return e[0] * e[4] * e[8] + e[1] * e[5] * e[6] + e[2] * e[3] * e[7] - e[2] * e[4] * e[6] -
           e[0] * e[5] * e[7] - e[1] * e[3] * e[8];
}

float Cofactor(const Matrix& m, int row, int col)
{
    const float sign = ((row + col) % 2 == 0) ? 1.0f : -1.0f;
    return sign * Minor(m, row, col);
}

}  // namespace

void Matrix::SetIdentity()
{
    for (float& e : m) e = 0.0f;
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

Matrix operator*(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a(row, k) * b(k, col);
            r(row, col) = sum;
        }
    }
    return r;
}

Vec4 Matrix::Transform(const Vec4& v) const
{
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int c = 0; c < 4; ++c) {
        out[c] = 0.0f;
        for (int k = 0; k < 4; ++k) out[c] += in[k] * (*this)(k, c);
    }
    return {out[0], out[1], out[2], out[3]};
}

void Matrix::Translate(const Vec4& v)
{
    Matrix t;
    t.m[12] = v.x;
    t.m[13] = v.y;
    t.m[14] = v.z;
    t.m[15] = v.w;
    *this = t * *this;
}

void Matrix::Rotate(float angle, const Vec4& axis)
{
    float x = axis.x, y = axis.y, z = axis.z;
    const float n = std::sqrt(x * x + y * y + z * z);
    if (n == 0.0f) {
        SetIdentity();
        return;
    }
    x /= n;
    y /= n;
    z /= n;
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    Matrix r;
    r(0, 0) = x * x * t + c;
    r(0, 1) = x * y * t + z * s;
    r(0, 2) = x * z * t - y * s;
    r(1, 0) = x * y * t - z * s;
    r(1, 1) = y * y * t + c;
    r(1, 2) = y * z * t + x * s;
    r(2, 0) = x * z * t + y * s;
    r(2, 1) = y * z * t - x * s;
    r(2, 2) = z * z * t + c;
    *this = r * *this;
}

float Matrix::Determinant() const
{
    float det = 0.0f;
    for (int c = 0; c < 4; ++c) det += m[c] * Cofactor(*this, 0, c);
    return det;
}

bool Matrix::Invert()
{
    const float det = Determinant();
    if (std::fabs(det) < kInverseThreshold) return false;
    Matrix inverse;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) inverse(r, c) = Cofactor(*this, c, r) / det;
    *this = inverse;
    return true;
}

Matrix Matrix::PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    Matrix p;
    for (float& e : p.m) e = 0.0f;
    p(0, 0) = xScale;
    p(1, 1) = yScale;
    p(2, 2) = zFar / (zFar - zNear);
    p(2, 3) = 1.0f;
    p(3, 2) = -zNear * zFar / (zFar - zNear);
    return p;
}

Matrix Matrix::LookAtLH(const Vec4& eye, const Vec4& at, const Vec4& up)
{
    Vec4 zAxis = at - eye;
    zAxis.SetLength(1.0f);
    Vec4 xAxis = up.Cross(zAxis);
    xAxis.SetLength(1.0f);
    const Vec4 yAxis = zAxis.Cross(xAxis);
    Matrix v;
    v(0, 0) = xAxis.x;
    v(0, 1) = yAxis.x;
    v(0, 2) = zAxis.x;
    v(1, 0) = xAxis.y;
    v(1, 1) = yAxis.y;
    v(1, 2) = zAxis.y;
    v(2, 0) = xAxis.z;
    v(2, 1) = yAxis.z;
    v(2, 2) = zAxis.z;
    v(3, 0) = -xAxis.Dot(eye);
    v(3, 1) = -yAxis.Dot(eye);
    v(3, 2) = -zAxis.Dot(eye);
    return v;
}

Matrix Matrix::Scaling(float sx, float sy, float sz)
{
    Matrix s;
    s.m[0] = sx;
    s.m[5] = sy;
    s.m[10] = sz;
    return s;
}

Matrix Matrix::Translation(float x, float y, float z)
{
    Matrix t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}
