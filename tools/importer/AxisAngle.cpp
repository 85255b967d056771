#include "tools/importer/AxisAngle.h"

#include <cmath>

namespace {

// Below this sine of half the angle a rotation counts as none: its axis is only noise.
constexpr float kNoAxis = 1e-6f;

struct Quaternion {
    float x, y, z, w;
};

// The rotation's quaternion; c(i, j) is the column-vector form, the transpose of the row form.
Quaternion QuaternionOf(const Matrix& r)
{
    auto c = [&](int i, int j) { return r(j, i); };
    const float trace = c(0, 0) + c(1, 1) + c(2, 2);
    if (trace > 0.0f) {
        const float s = 0.5f / std::sqrt(trace + 1.0f);
        return {(c(2, 1) - c(1, 2)) * s, (c(0, 2) - c(2, 0)) * s, (c(1, 0) - c(0, 1)) * s, 0.25f / s};
    }
    if (c(0, 0) > c(1, 1) && c(0, 0) > c(2, 2)) {
        const float s = 2.0f * std::sqrt(1.0f + c(0, 0) - c(1, 1) - c(2, 2));
        return {0.25f * s, (c(0, 1) + c(1, 0)) / s, (c(0, 2) + c(2, 0)) / s, (c(2, 1) - c(1, 2)) / s};
    }
    if (c(1, 1) > c(2, 2)) {
        const float s = 2.0f * std::sqrt(1.0f + c(1, 1) - c(0, 0) - c(2, 2));
        return {(c(0, 1) + c(1, 0)) / s, 0.25f * s, (c(1, 2) + c(2, 1)) / s, (c(0, 2) - c(2, 0)) / s};
    }
    const float s = 2.0f * std::sqrt(1.0f + c(2, 2) - c(0, 0) - c(1, 1));
    return {(c(0, 2) + c(2, 0)) / s, (c(1, 2) + c(2, 1)) / s, 0.25f * s, (c(1, 0) - c(0, 1)) / s};
}

bool HasAxis(const AxisAngle& key)
{
    return key.axis.x != 0.0f || key.axis.y != 0.0f || key.axis.z != 0.0f;
}

// Keys without an axis take the nearest earlier key's, or the first later one's.
void FillMissingAxes(std::vector<AxisAngle>& keys)
{
    const AxisAngle* last = nullptr;
    for (AxisAngle& key : keys) {
        if (HasAxis(key)) {
            last = &key;
        } else if (last != nullptr) {
            key.axis = last->axis;
        }
    }
    const AxisAngle* next = nullptr;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        if (HasAxis(*key)) {
            next = &*key;
        } else if (next != nullptr) {
            key->axis = next->axis;
        }
    }
}

}  // namespace

AxisAngle AxisAngle::FromRotation(const Matrix& rotation)
{
    Quaternion q = QuaternionOf(rotation);
    if (q.w < 0.0f) q = {-q.x, -q.y, -q.z, -q.w};
    const float sinHalf = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    AxisAngle result;
    if (!(sinHalf > kNoAxis)) return result;
    result.axis = {q.x / sinHalf, q.y / sinHalf, q.z / sinHalf, 1.0f};
    result.angle = 2.0f * std::atan2(sinHalf, q.w);
    return result;
}

void AxisAngle::MakeContinuous(std::vector<AxisAngle>& keys)
{
    FillMissingAxes(keys);
    const float turn = 2.0f * Pi();
    for (size_t k = 1; k < keys.size(); ++k) {
        AxisAngle& key = keys[k];
        const AxisAngle& before = keys[k - 1];
        // (axis, angle) and (−axis, −angle) are the same rotation, and so is angle + a turn.
        if (key.axis.Dot(before.axis) < 0.0f) {
            key.axis = -key.axis;
            key.angle = -key.angle;
        }
        key.angle += turn * std::round((before.angle - key.angle) / turn);
    }
}
