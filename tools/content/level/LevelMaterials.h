#pragma once

#include "tools/content/kit/SheetPainter.h"
#include "tools/content/kit/TrimSheet.h"

// The level's two materials: the hull sheet that every structure is skinned with (its glowing
// bands are the scenery's lamp strips and windows), and the ground that tiles the floor far below.
enum LevelBand {
    kPlates, kPanels, kVent, kHazard, kRibbed, kRust, kMachinery, kWindows, kEdge,
    kGlowCyan, kGlowAmber, kGlowRed, kGrating, kMarkings, kGlowTeal,
};

constexpr float kGroundTile = 128.0f;  // world units per repeat of the ground texture

TrimSheet LevelSheet();
SheetPalette LevelPalette();
// A tiling square of floor plates, grates, stripes and stains.
PaintedSheet PaintGround(int size, uint32_t seed);
