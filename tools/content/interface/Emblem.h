#pragma once

#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/Shapes.h"

// The game's emblem: the ship seen from above, glowing cyan in a bolted hexagonal gunmetal badge.
// Drawn from shapes, so it serves at any size from the dialog's logo to the desktop icon.

// The ship's outline from above, nose up: a delta with swept wings and a notch for the engines,
// length pixels from nose to tail, centred on centre.
Sdf ShipSilhouette(Point centre, float length);
// The ship glowing in the accent colour: a halo, then the body lightened towards white.
void PaintGlowingShip(Canvas& canvas, Point centre, float length, const Rgba& accent);
// The whole badge, radius pixels from its centre to its corners.
void PaintEmblem(Canvas& canvas, Point centre, float radius);
