#pragma once

#include <cstdint>

#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/Shapes.h"

// The gunmetal look shared by the frames, the emblem and the panels: bevelled plates lit from the
// top left, grooves, bolts, sunken wells and glow strips.
namespace plating {

struct PlateStyle {
    Rgba metal{0.30f, 0.33f, 0.37f, 1.0f};
    float bevel = 6.0f;       // pixels from the edge to the flat top
    float grain = 0.18f;      // strength of the brushed and mottled grain
    float wear = 0.35f;       // brightening of chipped edges
    float noiseScale = 1.0f;  // grain features grow with it (for large pictures)
    uint32_t seed = 1;
};

// Fills the shape with brushed gunmetal: a top-lit gradient, grain, a lit bevel, worn edges and a
// dark rim.
void Plate(Canvas& canvas, const Sdf& shape, const PlateStyle& style);
// A groove pressed into the plate along a line: dark in the cut, a light lip on its lower side.
void Seam(Canvas& canvas, Point a, Point b, float width);
// A round bolt head with a hexagonal socket, casting a small shadow.
void Bolt(Canvas& canvas, Point centre, float radius);
// A sunken well: a dark floor, shadowed under its upper-left lip, lit along its lower-right one.
void Well(Canvas& canvas, const Sdf& shape, const Rgba& floor, float depth);
// A lit strip: a bright core of the shape and a halo of the colour around it.
void GlowStrip(Canvas& canvas, const Sdf& shape, const Rgba& colour, float haloSigma, float haloStrength);

}  // namespace plating
