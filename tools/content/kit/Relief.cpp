#include "tools/content/kit/Relief.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>

namespace relief {

namespace {

// 0 at the rim of the rectangle rising to 1 at bevel pixels inside it.
float RimRamp(const PixelRect& rect, int x, int y, float bevel)
{
    const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
    const float inside = std::min(std::min(fx - static_cast<float>(rect.x0), static_cast<float>(rect.x1) - fx),
                                  std::min(fy - static_cast<float>(rect.y0), static_cast<float>(rect.y1) - fy));
    return bevel <= 0.0f ? 1.0f : std::clamp(inside / bevel, 0.0f, 1.0f);
}

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = dx * dx + dy * dy;
    const float t = lengthSquared > 0.0f ? std::clamp(((px - x0) * dx + (py - y0) * dy) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    return Hypot(px - (x0 + dx * t), py - (y0 + dy * t));
}

}  // namespace

void Plate(Field& field, const PixelRect& rect, float height, float bevel)
{
    for (int y = rect.y0; y < rect.y1; ++y)
        for (int x = rect.x0; x < rect.x1; ++x) {
            float& v = field.At(x, y);
            v = std::max(v, height * RimRamp(rect, x, y, bevel));
        }
}

void Step(Field& field, const PixelRect& rect, float height, float bevel)
{
    for (int y = rect.y0; y < rect.y1; ++y)
        for (int x = rect.x0; x < rect.x1; ++x) field.At(x, y) += height * RimRamp(rect, x, y, bevel);
}

void Groove(Field& field, float x0, float y0, float x1, float y1, float halfWidth, float depth)
{
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - halfWidth - 1));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + halfWidth + 1));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - halfWidth - 1));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + halfWidth + 1));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float d = SegmentDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, x0, y0, x1, y1);
            if (d >= halfWidth) continue;
            const float t = d / halfWidth;
            field.At(x, y) -= depth * std::sqrt(1.0f - t * t);
        }
}

void Rivet(Field& field, float cx, float cy, float radius, float height)
{
    const int r = static_cast<int>(std::ceil(radius)) + 1;
    const int ix = static_cast<int>(std::floor(cx)), iy = static_cast<int>(std::floor(cy));
    for (int y = iy - r; y <= iy + r; ++y)
        for (int x = ix - r; x <= ix + r; ++x) {
            const float d = Hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            if (d >= radius) continue;
            const float t = d / radius;
            field.At(x, y) += height * std::sqrt(1.0f - t * t);
        }
}

void RivetRow(Field& field, float x0, float y0, float x1, float y1, float spacing, float radius, float height)
{
    const float length = Hypot(x1 - x0, y1 - y0);
    const int count = std::max(1, static_cast<int>(length / spacing));
    for (int i = 0; i <= count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count);
        Rivet(field, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, radius, height);
    }
}

void Slats(Field& field, const PixelRect& rect, int count, float depth)
{
    const float pitch = static_cast<float>(rect.Height()) / static_cast<float>(count);
    for (int y = rect.y0; y < rect.y1; ++y) {
        const float phase = std::fmod((static_cast<float>(y - rect.y0) + 0.5f) / pitch, 1.0f);
        // A sloped louvre: rises across the slat, then drops into the gap below it.
        const float profile = phase < 0.75f ? phase / 0.75f : 0.0f;
        for (int x = rect.x0; x < rect.x1; ++x) field.At(x, y) += depth * (profile - 1.0f);
    }
}

}  // namespace relief
