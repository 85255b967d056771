#pragma once

#include <cmath>

// Four floats in the Direct3D conventions: positions carry w = 1, colours keep r, g, b in x, y, z.
// Three-component operations ignore w; sums and differences of positions come back with w = 1.
struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr Vec4() = default;
    constexpr Vec4(float x_, float y_, float z_, float w_ = 1.0f) : x(x_), y(y_), z(z_), w(w_) {}

    void Set(float x_, float y_, float z_, float w_)
    {
        x = x_;
        y = y_;
        z = z_;
        w = w_;
    }

    bool operator!=(const Vec4& o) const { return x != o.x || y != o.y || z != o.z || w != o.w; }
    bool operator==(const Vec4& o) const { return !(*this != o); }

    Vec4 operator+(const Vec4& o) const { return {x + o.x, y + o.y, z + o.z, 1.0f}; }
    Vec4 operator-(const Vec4& o) const { return {x - o.x, y - o.y, z - o.z, 1.0f}; }
    Vec4 operator+=(const Vec4& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vec4 operator-=(const Vec4& o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    Vec4 operator-() const { return {-x, -y, -z, w}; }
    Vec4 operator*(float s) const { return {x * s, y * s, z * s, w}; }

    float Dot(const Vec4& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec4 Cross(const Vec4& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x, 1.0f}; }
    float Length() const { return std::sqrt(x * x + y * y + z * z); }

    // Scales x, y, z to the given length; a zero vector gives components that are not numbers.
    void SetLength(float length)
    {
        const float scale = length / Length();
        x *= scale;
        y *= scale;
        z *= scale;
    }

    float Distance(const Vec4& o) const
    {
        const float dx = o.x - x, dy = o.y - y, dz = o.z - z;
        return std::sqrt(dx * dx + dy * dy + dz * dz);
    }
};
