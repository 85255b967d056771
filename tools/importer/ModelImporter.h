#pragma once

#include <string>
#include <vector>

#include "tools/importer/MaterialConversion.h"
#include "tools/modelwriter/ModelFile.h"

struct ImportOptions {
    float scale = 1.0f;           // engine units per source unit
    float keysPerSecond = 10.0f;  // keys taken per second of the source's animation
};

struct ImportResult {
    bool ok = false;
    std::string error;               // on failure: what cannot be held, naming its mesh, node, light or camera
    std::vector<std::string> notes;  // what was converted only in part
    ModelFile model;
    std::vector<ImportedPicture> pictures;  // pictures held inside the source, named as the materials name them
};

// Converts a model file that the importer library reads (glTF 2.0, OBJ with its MTL, and the
// library's other formats) into a 3DF model: one object per mesh node and material, the
// materials the objects use, point lights and cameras, with the first animation resampled into
// the keys the engine plays (10 a second, looped). The source's right-handed frame becomes the
// engine's left-handed one by mirroring z.
class ModelImporter {
public:
    // The longest animation taken, in keys: an hour at the engine's 10 keys a second.
    static constexpr int32_t kMaxFrames = 36000;

    // pictureStem names the pictures held inside the source ("<stem>_<number>.<kind>").
    static ImportResult Import(const std::string& path, const ImportOptions& options, const std::string& pictureStem);
};
