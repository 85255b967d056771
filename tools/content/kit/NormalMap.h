#pragma once

#include "engine/scene/Picture.h"
#include "tools/content/kit/Field.h"

// The tangent-space normal map of a height field as the renderer's dot-product stage reads it:
// red along +u (rightwards), green along +v (downwards), blue out of the surface, each packed
// from -1..1 into 0..255. strength scales the slopes (heights are in pixels of relief).
Picture NormalMapFromHeights(const Field& heights, float strength);

// How far each point lies above (positive) or below (negative) the mean of its surroundings:
// raised rims and edges come out positive, seams and crevices negative.
Field Cavity(const Field& heights, int radius);
