#pragma once

#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/MeshBuilder.h"
#include "tools/modelwriter/ModelFile.h"

// How a craft is lit without lights. The play camera looks straight down while the level's lights
// lie below the play plane, so a craft's upper faces see only the ambient: each craft carries its
// own, brighter on what faces up than on its flanks, which gives it form and an outline.
struct CraftShading {
    float top = 0.3f;    // ambient added on faces turned up
    float flank = 0.1f;  // ambient added on the rest
};

// A face whose normal has less than this y is a flank.
constexpr float kFlankSlope = 0.5f;

// The model of a craft: its top faces and its flanks as two objects, each with a material of the
// maps and its own ambient. Takes the flanks out of mesh.
ModelFile CraftModel(MeshBuilder& mesh, const MapNames& maps, const CraftShading& shading);
