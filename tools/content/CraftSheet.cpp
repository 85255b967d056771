#include "tools/content/CraftSheet.h"

TrimSheet CraftSheet(int width, float scale, const CraftColours& colours)
{
    const int p = width / 512 > 0 ? 1 : 2;  // a narrower sheet gives each band fewer rows
    return TrimSheet(width, {
                                {BandKind::Plates, 96 / p, 6.0f * scale, {}},
                                {BandKind::Panels, 48 / p, 2.4f * scale, {}},
                                {BandKind::Vent, 48 / p, 2.0f * scale, {}},
                                {BandKind::Hazard, 24 / p, 0.9f * scale, {}},
                                {BandKind::Edge, 24 / p, 0.6f * scale, {}},
                                {BandKind::Glow, 24 / p, 0.5f * scale, colours.glow},
                                {BandKind::Engine, 48 / p, 2.0f * scale, colours.engine},
                                {BandKind::Glass, 48 / p, 2.2f * scale, colours.glow},
                                {BandKind::Machinery, 48 / p, 2.4f * scale, colours.lamps},
                                {BandKind::Markings, 32 / p, 1.2f * scale, colours.markings},
                                {BandKind::Beacon, 24 / p, 2.0f * scale, colours.glow},
                            });
}
