#pragma once

#include <assimp/mesh.h>

#include <string>

#include "engine/math/Matrix.h"
#include "engine/scene/MeshData.h"

// A source mesh's triangles as the engine's vertex layout: positions and normals moved into the
// object's frame by a fixed linear transform, texture coordinates of the first set, tangents
// computed as the engine computes them when it loads the mesh.
class MeshConversion {
public:
    // False, with the reason in *error, for a mesh the engine cannot draw: indices that name no
    // vertex or positions that are not numbers. Faces of fewer than three corners are skipped;
    // a mesh of those alone converts to no triangles.
    static bool Convert(const aiMesh& mesh, const Matrix& transform, MeshData* out, std::string* error);
};
