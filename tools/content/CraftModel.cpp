#include "tools/content/CraftModel.h"

ModelFile CraftModel(MeshBuilder& mesh, const MapNames& maps, const CraftShading& shading)
{
    const MeshBuilder flanks = mesh.TakeSteep(kFlankSlope);
    ModelFile model;
    model.materials.push_back(MapMaterial(maps, true, shading.top));
    model.materials.push_back(MapMaterial(maps, true, shading.flank));
    model.objects.push_back(mesh.ToObject(0));
    if (!flanks.Empty()) model.objects.push_back(flanks.ToObject(1));
    return model;
}
