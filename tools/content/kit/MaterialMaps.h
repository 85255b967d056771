#pragma once

#include <string>

#include "tools/content/kit/SheetPainter.h"
#include "tools/modelwriter/ModelFile.h"

class AssetSet;

// The two files a material reads: its colour map and its normal map.
struct MapNames {
    std::string colour;
    std::string normal;
};

constexpr int kColourQuality = 90;  // JPEG quality of opaque colour maps
constexpr int kNormalQuality = 92;  // JPEG quality of normal maps

// Adds the colour map (a 32-bit TGA whose alpha is the emission mask when the sheet glows, else a
// JPEG) and the normal map (a JPEG from the relief, slopes scaled by normalStrength).
void AddMaps(AssetSet& assets, const PaintedSheet& painted, const MapNames& names, bool emissive, float normalStrength);

// A material of those maps: white diffuse, the given ambient lift; glow when the sheet emits.
ModelFileMaterial MapMaterial(const MapNames& names, bool emissive, float ambient);
