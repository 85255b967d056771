#pragma once

#include "tools/content/interface/Canvas.h"

// Paints lettering (the coverage of its glyphs) as polished gunmetal: a chrome-like gradient with a
// dark horizon, a lit bevel, a thin line of the accent colour through the letters, a dark outline
// with a drop shadow, and a halo of the accent around them.
void PaintMetalLettering(Canvas& canvas, const Mask& letters, const Rgba& accent);
