#include "tools/importer/MeshConversion.h"

#include <cmath>

namespace {

// The normal's counterpart of a linear transform for row vectors: the cofactor matrix, which is
// the inverse transpose times the determinant. Its sign is turned so that normals keep their side.
Matrix NormalTransform(const Matrix& m)
{
    auto at = [&](int r, int c) { return m((r + 3) % 3, (c + 3) % 3); };
    Matrix out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            out(r, c) = at(r + 1, c + 1) * at(r + 2, c + 2) - at(r + 1, c + 2) * at(r + 2, c + 1);
        }
    }
    const float sign = m.Determinant() < 0.0f ? -1.0f : 1.0f;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out(r, c) *= sign;
    }
    return out;
}

Vec4 Linear(const Matrix& m, float x, float y, float z)
{
    return m.Transform(Vec4(x, y, z, 0.0f));
}

MeshVertex VertexAt(const aiMesh& mesh, unsigned i, const Matrix& transform, const Matrix& normals)
{
    MeshVertex vertex{};
    const aiVector3D& p = mesh.mVertices[i];
    const Vec4 position = Linear(transform, p.x, p.y, p.z);
    vertex.position[0] = position.x;
    vertex.position[1] = position.y;
    vertex.position[2] = position.z;
    Vec4 normal(0.0f, 1.0f, 0.0f, 0.0f);
    if (mesh.mNormals != nullptr) {
        const aiVector3D& n = mesh.mNormals[i];
        normal = Linear(normals, n.x, n.y, n.z);
        const float length = normal.Length();
        normal = length > 0.0f && std::isfinite(length) ? normal * (1.0f / length) : Vec4(0.0f, 1.0f, 0.0f, 0.0f);
    }
    vertex.normal[0] = normal.x;
    vertex.normal[1] = normal.y;
    vertex.normal[2] = normal.z;
    if (mesh.mTextureCoords[0] != nullptr) {
        const aiVector3D& uv = mesh.mTextureCoords[0][i];
        vertex.texCoord[0] = std::isfinite(uv.x) ? uv.x : 0.0f;
        vertex.texCoord[1] = std::isfinite(uv.y) ? uv.y : 0.0f;
    }
    return vertex;
}

bool Finite(const MeshVertex& vertex)
{
    return std::isfinite(vertex.position[0]) && std::isfinite(vertex.position[1]) && std::isfinite(vertex.position[2]);
}

}  // namespace

bool MeshConversion::Convert(const aiMesh& mesh, const Matrix& transform, MeshData* out, std::string* error)
{
    out->vertices.clear();
    out->indices.clear();
    if (mesh.mVertices == nullptr && mesh.mNumVertices > 0) {
        *error = "has no positions";
        return false;
    }
    const Matrix normals = NormalTransform(transform);
    out->vertices.reserve(mesh.mNumVertices);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        out->vertices.push_back(VertexAt(mesh, i, transform, normals));
        if (!Finite(out->vertices.back())) {
            *error = "has a position that is not a number";
            return false;
        }
    }
    // Front faces wind counter-clockwise on screen in the source and in the engine (its renderer
    // culls clockwise faces). Mirroring the whole scene with its cameras, as the change of
    // handedness does, leaves the picture on screen as it was, so the corners keep their order;
    // only a transform that does not mirror (a node the source mirrors itself, mirrored back)
    // shows the faces the other way round, and turns them.
    const bool turn = transform.Determinant() > 0.0f;
    out->indices.reserve(static_cast<size_t>(mesh.mNumFaces) * 3);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3 || face.mIndices == nullptr) continue;
        for (unsigned k = 0; k < 3; ++k) {
            const unsigned index = face.mIndices[turn ? 2 - k : k];
            if (index >= mesh.mNumVertices) {
                *error = "has a face that names vertex " + std::to_string(index) + " of " +
                         std::to_string(mesh.mNumVertices);
                return false;
            }
            out->indices.push_back(index);
        }
    }
    out->ComputeTangents();
    return true;
}
