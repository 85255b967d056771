#include "tools/content/interface/Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/content/interface/PaintMath.h"

namespace shape {

Sdf Circle(Point centre, float radius)
{
    return [=](float x, float y) { return paint::Length(x - centre.x, y - centre.y) - radius; };
}

Sdf Box(Point centre, float halfWidth, float halfHeight, float cornerRadius)
{
    return [=](float x, float y) {
        const float qx = std::fabs(x - centre.x) - halfWidth + cornerRadius;
        const float qy = std::fabs(y - centre.y) - halfHeight + cornerRadius;
        const float outside = paint::Length(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - cornerRadius;
    };
}

Sdf ChamferedBox(float left, float top, float right, float bottom, const float cuts[4])
{
    return Polygon({{left + cuts[0], top},
                    {right - cuts[1], top},
                    {right, top + cuts[1]},
                    {right, bottom - cuts[2]},
                    {right - cuts[2], bottom},
                    {left + cuts[3], bottom},
                    {left, bottom - cuts[3]},
                    {left, top + cuts[0]}});
}

Sdf Polygon(std::vector<Point> corners)
{
    return [corners = std::move(corners)](float x, float y) {
        // Distance to the nearest edge, signed by the even-odd crossing count.
        float nearest = 1e30f;
        bool inside = false;
        const size_t count = corners.size();
        for (size_t i = 0, j = count - 1; i < count; j = i++) {
            const Point a = corners[j];
            const Point b = corners[i];
            const float ex = b.x - a.x;
            const float ey = b.y - a.y;
            const float wx = x - a.x;
            const float wy = y - a.y;
            const float lengthSquared = ex * ex + ey * ey;
            const float t = lengthSquared > 0.0f ? paint::Clamp01((wx * ex + wy * ey) / lengthSquared) : 0.0f;
            nearest = std::min(nearest, paint::Length(wx - ex * t, wy - ey * t));
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey) inside = !inside;
        }
        return inside ? -nearest : nearest;
    };
}

Sdf Segment(Point a, Point b, float halfWidth)
{
    return [=](float x, float y) {
        const float ex = b.x - a.x;
        const float ey = b.y - a.y;
        const float lengthSquared = ex * ex + ey * ey;
        const float t = lengthSquared > 0.0f ? paint::Clamp01(((x - a.x) * ex + (y - a.y) * ey) / lengthSquared) : 0.0f;
        return paint::Length(x - a.x - ex * t, y - a.y - ey * t) - halfWidth;
    };
}

Sdf Union(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Sdf Intersection(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Sdf Difference(Sdf a, Sdf b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Sdf Outline(Sdf a, float halfWidth)
{
    return [a = std::move(a), halfWidth](float x, float y) { return std::fabs(a(x, y)) - halfWidth; };
}

Sdf Grown(Sdf a, float amount)
{
    return [a = std::move(a), amount](float x, float y) { return a(x, y) - amount; };
}

}  // namespace shape

namespace {

constexpr int kBlock = 8;  // pixels on a side of the blocks that are decided from their centre alone

// Fills a mask with value(distance) at every pixel centre. Distances change by at most one per
// pixel, so a block whose centre lies further from the edge than reach plus half the block's
// diagonal is wholly inside (or outside): it takes the inside (or outside) value without asking
// the shape for every pixel.
template <typename Value>
Mask FromDistances(int width, int height, const Sdf& sdf, float reach, Value value)
{
    Mask mask(width, height);
    const float halfDiagonal = 0.5f * kBlock * 1.4143f;
    const float inside = value(-1e30f);
    const float outside = value(1e30f);
    for (int by = 0; by < height; by += kBlock) {
        for (int bx = 0; bx < width; bx += kBlock) {
            const int ex = std::min(bx + kBlock, width);
            const int ey = std::min(by + kBlock, height);
            const float centre = sdf(0.5f * (bx + ex), 0.5f * (by + ey));
            const bool decided = std::fabs(centre) > reach + halfDiagonal;
            for (int y = by; y < ey; ++y) {
                for (int x = bx; x < ex; ++x) {
                    mask.Set(x, y, decided ? (centre < 0.0f ? inside : outside) : value(sdf(x + 0.5f, y + 0.5f)));
                }
            }
        }
    }
    return mask;
}

}  // namespace

Mask Coverage(int width, int height, const Sdf& sdf)
{
    return FromDistances(width, height, sdf, 1.0f, [](float d) { return paint::Clamp01(0.5f - d); });
}

Mask Bevel(int width, int height, const Sdf& sdf, float depth)
{
    return FromDistances(width, height, sdf, depth + 1.0f, [depth](float d) { return paint::Smoothstep(0.0f, 1.0f, -d / depth); });
}
