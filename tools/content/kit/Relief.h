#pragma once

#include "tools/content/kit/Field.h"

// Pixel rectangle [x0, x1) × [y0, y1); it may reach past the field's edges, which wrap.
struct PixelRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;

    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    PixelRect Inset(int by) const { return {x0 + by, y0 + by, x1 - by, y1 - by}; }
};

// Shapes stamped into a height field: the bumps and grooves that the normal map and the colour
// map's grime and wear are both derived from. Heights are in pixels of relief.
namespace relief {

// A raised plate: height at its middle, falling linearly to 0 over bevel pixels at its rim. Where
// the plate is lower than the field already is, the field stays.
void Plate(Field& field, const PixelRect& rect, float height, float bevel);
// Adds height inside the rectangle (negative cuts a recess), with edges softened over bevel.
void Step(Field& field, const PixelRect& rect, float height, float bevel);
// A groove of the given half-width and depth along the segment, round in section.
void Groove(Field& field, float x0, float y0, float x1, float y1, float halfWidth, float depth);
// A dome of the given radius and height.
void Rivet(Field& field, float x, float y, float radius, float height);
// A rivet every spacing pixels along the segment.
void RivetRow(Field& field, float x0, float y0, float x1, float y1, float spacing, float radius, float height);
// Horizontal slats across the rectangle: count grooves with ridges between them.
void Slats(Field& field, const PixelRect& rect, int count, float depth);

}  // namespace relief
