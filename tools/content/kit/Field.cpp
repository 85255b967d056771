#include "tools/content/kit/Field.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>

#include "tools/content/kit/Random.h"

namespace {

int Wrap(int value, int size)
{
    const int r = value % size;
    return r < 0 ? r + size : r;
}

float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// One box pass along rows (horizontal) or columns, wrapping, as a running sum.
Field BoxPass(const Field& in, int radius, bool horizontal)
{
    Field out(in.Width(), in.Height());
    const int lines = horizontal ? in.Height() : in.Width();
    const int length = horizontal ? in.Width() : in.Height();
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) { return horizontal ? in.At(i, line) : in.At(line, i); };
        float sum = 0.0f;
        for (int i = -radius; i <= radius; ++i) sum += at(i);
        for (int i = 0; i < length; ++i) {
            (horizontal ? out.At(i, line) : out.At(line, i)) = sum * scale;
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
    return out;
}

}  // namespace

Field::Field(int width, int height, float value)
    : width_(width), height_(height), values_(static_cast<size_t>(width) * static_cast<size_t>(height), value)
{
}

size_t Field::Index(int x, int y) const
{
    return static_cast<size_t>(Wrap(y, height_)) * static_cast<size_t>(width_) + static_cast<size_t>(Wrap(x, width_));
}

float Field::Sample(float x, float y) const
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const float tx = x - fx, ty = y - fy;
    const float top = At(x0, y0) + (At(x0 + 1, y0) - At(x0, y0)) * tx;
    const float bottom = At(x0, y0 + 1) + (At(x0 + 1, y0 + 1) - At(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

Field Field::Blurred(int radius) const
{
    if (radius <= 0) return *this;
    Field out = *this;
    for (int pass = 0; pass < 3; ++pass) out = BoxPass(BoxPass(out, radius, true), radius, false);
    return out;
}

void Field::Remap(float scale, float offset)
{
    for (float& v : values_) v = v * scale + offset;
}

void Field::Add(const Field& other, float weight)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) At(x, y) += other.At(x, y) * weight;
}

float LatticeNoise(float x, float y, int period, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    auto corner = [&](int cx, int cy) {
        return static_cast<float>(HashInts(Wrap(cx, period), Wrap(cy, period), seed) >> 8) * (1.0f / 16777216.0f);
    };
    const float tx = Smooth(x - fx), ty = Smooth(y - fy);
    const float top = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * tx;
    const float bottom = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * tx;
    return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += LatticeNoise(x, y, period, seed + static_cast<uint32_t>(octave) * 7919u) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

float CellDistance(float x, float y, int period, uint32_t seed)
{
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    float best = 4.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            const uint32_t h = HashInts(Wrap(gx, period), Wrap(gy, period), seed);
            const float px = static_cast<float>(gx) + static_cast<float>(h & 0xFFFF) / 65536.0f;
            const float py = static_cast<float>(gy) + static_cast<float>(h >> 16) / 65536.0f;
            best = std::min(best, Hypot(px - x, py - y));
        }
    }
    return best;
}

Field NoiseField(int width, int height, int period, int octaves, uint32_t seed)
{
    Field field(width, height);
    const float scale = static_cast<float>(period) / static_cast<float>(width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            field.At(x, y) = FractalNoise(static_cast<float>(x) * scale, static_cast<float>(y) * scale, period, octaves, seed);
    return field;
}
