#include "tools/content/kit/MaterialMaps.h"

#include "tools/content/AssetSet.h"
#include "tools/content/kit/NormalMap.h"
#include "tools/modelwriter/PictureWriter.h"

void AddMaps(AssetSet& assets, const PaintedSheet& painted, const MapNames& names, bool emissive, float normalStrength)
{
    const Picture colour = painted.colour.ToPicture(emissive);
    if (emissive) {
        PictureWriter::TgaOptions options;
        options.alpha = true;
        options.topDown = true;
        assets.Add(names.colour, PictureWriter::Tga(colour, options));
    } else {
        assets.Add(names.colour, PictureWriter::Jpeg(colour, kColourQuality));
    }
    assets.Add(names.normal, PictureWriter::Jpeg(NormalMapFromHeights(painted.heights, normalStrength), kNormalQuality));
}

ModelFileMaterial MapMaterial(const MapNames& names, bool emissive, float ambient)
{
    ModelFileMaterial material;
    material.ambient = {ambient, ambient, ambient};
    material.diffuse = {1.0f, 1.0f, 1.0f};
    material.bumpMap = names.normal;
    material.texture = names.colour;
    material.glow = emissive;
    return material;
}
