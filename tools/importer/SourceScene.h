#pragma once

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <string>

// A model file read by the importer library (libassimp), as triangles with normals and
// texture coordinates whose v runs down the picture. The library's exceptions stop here, and
// what it prints is kept quiet unless HARNENGINE_LOG asks for information (level 1).
class SourceScene {
public:
    // False, with the reason in *error, for a file that is missing or that the library cannot
    // read. Never throws.
    bool Read(const std::string& path, std::string* error);

    // Only after a successful Read.
    const aiScene& Scene() const { return *scene_; }
    // glTF files, whose cameras the library describes in a way of its own.
    bool FromGltf() const { return fromGltf_; }

private:
    Assimp::Importer importer_;
    const aiScene* scene_ = nullptr;
    bool fromGltf_ = false;
};
