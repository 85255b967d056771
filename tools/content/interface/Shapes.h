#pragma once

#include <functional>
#include <vector>

#include "tools/content/interface/Mask.h"

// Shapes as signed distance functions in pixels (negative inside), so that edges come out
// anti-aliased at any size and shapes combine by min and max.
using Sdf = std::function<float(float x, float y)>;

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

namespace shape {

Sdf Circle(Point centre, float radius);
Sdf Box(Point centre, float halfWidth, float halfHeight, float cornerRadius = 0.0f);
// A box whose four corners are cut off at 45° by the given lengths (top-left, top-right,
// bottom-right, bottom-left).
Sdf ChamferedBox(float left, float top, float right, float bottom, const float cuts[4]);
// Any simple polygon, its corners in order (either winding).
Sdf Polygon(std::vector<Point> corners);
// A line from a to b with round ends, halfWidth on either side.
Sdf Segment(Point a, Point b, float halfWidth);

Sdf Union(Sdf a, Sdf b);
Sdf Intersection(Sdf a, Sdf b);
Sdf Difference(Sdf a, Sdf b);  // a without b
// The outline of a shape: a band halfWidth thick centred on its edge.
Sdf Outline(Sdf a, float halfWidth);
// The shape grown outwards (or shrunk, for a negative amount) by amount pixels.
Sdf Grown(Sdf a, float amount);

}  // namespace shape

// Coverage of every pixel (centres at x + 0.5, y + 0.5) by the shape, with a one-pixel soft edge.
Mask Coverage(int width, int height, const Sdf& sdf);
// A height field for bevels: 0 outside, rising over depth pixels inside the edge to 1.
Mask Bevel(int width, int height, const Sdf& sdf, float depth);
