#pragma once

#include "tools/content/kit/SheetPainter.h"
#include "tools/content/kit/TrimSheet.h"

// The trim sheet that every craft (the ship, the enemies, the boss, the door) is skinned with: the
// same bands in the same order, so that their builders share names; each craft paints it in its
// own colours and at its own scale.
// New bands go last: the bands above them keep their rows, and so their pixels.
enum CraftBand { kPlates, kPanels, kVent, kHazard, kEdge, kGlow, kEngine, kGlass, kMachinery, kMarkings, kBeacon };

struct CraftColours {
    Rgb glow;      // lamp strips, canopy rims and beacons
    Rgb engine;    // exhausts
    Rgb lamps;     // indicator lamps among the machinery
    Rgb markings;  // the paint behind stencilled numbers
};

// width: 512 or 256 pixels; scale: world units a band covers relative to the player's ship (1).
TrimSheet CraftSheet(int width, float scale, const CraftColours& colours);
