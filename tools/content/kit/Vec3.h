#pragma once

#include <cmath>

// A point or direction of the generator's geometry, in the engine's left-handed world (x right,
// y up, z forward). Plain arithmetic only; the engine's Vec4 stays the runtime type.
// Sine, cosine and hypotenuse through double precision, rounded once to float: the same bytes
// however the compiler arranges the calls (an optimiser may fuse a sine and a cosine into one
// call whose float result can differ in the last place).
inline float Sine(float angle) { return static_cast<float>(std::sin(static_cast<double>(angle))); }
inline float Cosine(float angle) { return static_cast<float>(std::cos(static_cast<double>(angle))); }
inline float Hypot(float a, float b) { return static_cast<float>(std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b)); }

struct V3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr V3() = default;
    constexpr V3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    constexpr V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr V3 operator-() const { return {-x, -y, -z}; }
    constexpr V3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr V3 operator/(float s) const { return {x / s, y / s, z / s}; }
    V3& operator+=(const V3& o) { return *this = *this + o; }
    V3& operator-=(const V3& o) { return *this = *this - o; }
    constexpr bool operator==(const V3&) const = default;
};

constexpr V3 operator*(float s, const V3& v) { return v * s; }
constexpr float Dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr V3 Cross(const V3& a, const V3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const V3& v) { return std::sqrt(Dot(v, v)); }
// The unit vector along v; the zero vector stays zero.
inline V3 Normalized(const V3& v)
{
    const float length = Length(v);
    return length > 1e-12f ? v / length : V3{};
}
constexpr V3 Lerp(const V3& a, const V3& b, float t) { return a + (b - a) * t; }

// A place and orientation: origin and three axes (not necessarily unit, so a frame can also
// scale or mirror). Maps local coordinates into the space around it.
struct Frame {
    V3 origin;
    V3 x{1, 0, 0};
    V3 y{0, 1, 0};
    V3 z{0, 0, 1};

    constexpr V3 Point(const V3& p) const { return origin + x * p.x + y * p.y + z * p.z; }
    constexpr V3 Direction(const V3& d) const { return x * d.x + y * d.y + z * d.z; }
    // This frame placed inside outer: outer ∘ this.
    constexpr Frame Within(const Frame& outer) const
    {
        return {outer.Point(origin), outer.Direction(x), outer.Direction(y), outer.Direction(z)};
    }

    static constexpr Frame At(const V3& origin) { return {origin, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; }
    // Turned by angle radians about +y (a positive angle turns +z towards +x).
    static Frame TurnedY(const V3& origin, float angle)
    {
        const float c = Cosine(angle), s = Sine(angle);
        return {origin, {c, 0, -s}, {0, 1, 0}, {s, 0, c}};
    }
    // Local z along the given direction, local y as close to up as the direction allows.
    static Frame Along(const V3& origin, const V3& direction, const V3& up = {0, 1, 0});
    static constexpr Frame MirrorX() { return {{}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; }
};

inline Frame Frame::Along(const V3& origin, const V3& direction, const V3& up)
{
    const V3 z = Normalized(direction);
    V3 x = Cross(up, z);
    if (Length(x) < 1e-4f) x = Cross(V3{1, 0, 0}, z);
    x = Normalized(x);
    return {origin, x, Cross(z, x), z};
}
