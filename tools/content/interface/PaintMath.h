#pragma once

#include <cmath>

// Arithmetic for the painters. The pictures must come out byte-identical on every machine, and the
// C library's exp and sin may pick different code (and last bits) per processor, so the few
// transcendental functions the painters need are computed here from additions and
// multiplications only; floor, sqrt and ldexp are exact everywhere.
namespace paint {

constexpr double kPi = 3.14159265358979323846;

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float Mix(float a, float b, float t) { return a + (b - a) * t; }
inline float Length(float x, float y) { return std::sqrt(x * x + y * y); }

// 0 at or below edge0, 1 at or above edge1, a smooth cubic between.
inline float Smoothstep(float edge0, float edge1, float v)
{
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// e^x for |x| up to a few hundred; below −700 it is 0.
inline double Exp(double x)
{
    if (x < -700.0) return 0.0;
    constexpr double kLn2 = 0.69314718055994530942;
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;  // |r| <= ln2 / 2
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 13; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

namespace detail {
// sin and cos of r with |r| <= π/4, by their series.
inline double SinSeries(double r)
{
    const double r2 = r * r;
    double term = r;
    double sum = r;
    for (int n = 1; n <= 8; ++n) {
        term *= -r2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}
inline double CosSeries(double r)
{
    const double r2 = r * r;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term *= -r2 / ((2.0 * n - 1.0) * (2.0 * n));
        sum += term;
    }
    return sum;
}
}  // namespace detail

// sin x for the moderate angles painters use (|x| well below a million).
inline double Sin(double x)
{
    const double quarter = std::floor(x / (kPi / 2.0) + 0.5);
    const double r = x - quarter * (kPi / 2.0);
    switch (static_cast<long long>(quarter) & 3) {
        case 0: return detail::SinSeries(r);
        case 1: return detail::CosSeries(r);
        case 2: return -detail::SinSeries(r);
        default: return -detail::CosSeries(r);
    }
}

inline double Cos(double x) { return Sin(x + kPi / 2.0); }

}  // namespace paint
