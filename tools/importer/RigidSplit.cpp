#include "tools/importer/RigidSplit.h"

#include <algorithm>
#include <cmath>

namespace {

// A row shorter than this (relative to the longest) counts as flattened.
constexpr float kFlat = 1e-6f;
// Baked parts this close (relative to the larger element) are the same.
constexpr float kSameBaked = 1e-3f;

Vec4 Row3(const Matrix& m, int r)
{
    return {m(r, 0), m(r, 1), m(r, 2), 0.0f};
}

bool Normalised(Vec4& v, float reference)
{
    const float length = v.Length();
    if (!(length > kFlat * reference) || !std::isfinite(length)) return false;
    v = v * (1.0f / length);
    return true;
}

float Largest3x3(const Matrix& m)
{
    float largest = 0.0f;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) largest = std::max(largest, std::fabs(m(r, c)));
    }
    return largest;
}

}  // namespace

bool RigidSplit::Split(const Matrix& transform, RigidSplit* out)
{
    const float reference = std::max(Largest3x3(transform), 1e-30f);
    // Gram-Schmidt on the rows: for scale then rotation (v × S × R) it gives R back exactly.
    Vec4 x = Row3(transform, 0);
    if (!Normalised(x, reference)) return false;
    const Vec4 row1 = Row3(transform, 1);
    Vec4 y = row1 - x * row1.Dot(x);
    if (!Normalised(y, reference)) return false;
    const Vec4 z = x.Cross(y);
    // The third row need not be checked for rotation, but a flattened one cannot be baked.
    if (!(std::fabs(transform.Determinant()) > kFlat * reference * reference * reference)) return false;

    Matrix rotation;
    const Vec4 rows[3] = {x, y, z};
    for (int r = 0; r < 3; ++r) {
        rotation(r, 0) = rows[r].x;
        rotation(r, 1) = rows[r].y;
        rotation(r, 2) = rows[r].z;
    }
    Matrix transposed = rotation;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) transposed(r, c) = rotation(c, r);
    }
    Matrix linear = transform;
    linear(3, 0) = linear(3, 1) = linear(3, 2) = 0.0f;
    out->baked = linear * transposed;
    out->rotation = rotation;
    out->position = {transform(3, 0), transform(3, 1), transform(3, 2), 1.0f};
    return true;
}

bool RigidSplit::SameBaked(const Matrix& a, const Matrix& b)
{
    const float tolerance = kSameBaked * std::max({1.0f, Largest3x3(a), Largest3x3(b)});
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (std::fabs(a(r, c) - b(r, c)) > tolerance) return false;
        }
    }
    return true;
}
