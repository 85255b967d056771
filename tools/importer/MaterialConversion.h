#pragma once

#include <assimp/material.h>
#include <assimp/scene.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/modelwriter/ModelFile.h"

// A picture the source holds inside itself, to be written beside the 3DF file under the name
// its materials now give it.
struct ImportedPicture {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Source materials as 3DF material records: ambient and diffuse colours, the colour map and the
// normal map by the names the source gives them, glow and alpha mask.
class MaterialConversion {
public:
    static constexpr const char* kGlowSuffix = "_glow";

    // Pictures held inside the source are named "<pictureStem>_<number>.<kind>".
    MaterialConversion(const aiScene& scene, std::string pictureStem);

    // False, with the reason in *error, for a material whose texture names 3DF cannot hold.
    bool Convert(const aiMaterial& material, ModelFileMaterial* out, std::string* error);

    // The pictures the converted materials name, each once.
    const std::vector<ImportedPicture>& Pictures() const { return pictures_; }
    // What was converted only in part, one line each.
    const std::vector<std::string>& Notes() const { return notes_; }

private:
    bool TextureName(const aiMaterial& material, aiTextureType type, std::string* name, std::string* error);
    bool EmbeddedName(const aiTexture& texture, int index, std::string* name, std::string* error);

    const aiScene& scene_;
    std::string pictureStem_;
    std::map<int, std::string> embeddedNames_;
    std::vector<ImportedPicture> pictures_;
    std::vector<std::string> notes_;
};
