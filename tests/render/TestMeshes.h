#pragma once

#include <cstdint>
#include <vector>

#include "engine/math/Vec4.h"
#include "engine/scene/MeshData.h"

// Meshes built in code for the renderer's tests and benchmarks. Front faces appear counter-clockwise
// from outside, as the renderer's Cull::CW (which culls clockwise faces) expects of model files.
namespace test_meshes {

// One rectangle around centre spanned by the half-axes u and v, facing along −(u × v); texture
// coordinates 0..1 with v = 0 at the +v edge.
inline void AddQuad(MeshData& mesh, const Vec4& centre, const Vec4& u, const Vec4& v)
{
    const Vec4 normal = v.Cross(u) * (1.0f / v.Cross(u).Length());
    const auto base = static_cast<uint32_t>(mesh.vertices.size());
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
        const Vec4 p = centre + u * c[0] + v * c[1];
        MeshVertex vertex{};
        vertex.position[0] = p.x;
        vertex.position[1] = p.y;
        vertex.position[2] = p.z;
        vertex.normal[0] = normal.x;
        vertex.normal[1] = normal.y;
        vertex.normal[2] = normal.z;
        vertex.texCoord[0] = (c[0] + 1.0f) * 0.5f;
        vertex.texCoord[1] = (1.0f - c[1]) * 0.5f;
        mesh.vertices.push_back(vertex);
    }
    for (uint32_t index : {0u, 1u, 2u, 0u, 2u, 3u}) mesh.indices.push_back(base + index);
}

// A box between the two corners.
inline MeshData Box(const Vec4& lo, const Vec4& hi)
{
    MeshData mesh;
    const Vec4 c((lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f);
    const float hx = (hi.x - lo.x) * 0.5f, hy = (hi.y - lo.y) * 0.5f, hz = (hi.z - lo.z) * 0.5f;
    const Vec4 X(hx, 0, 0, 0), Y(0, hy, 0, 0), Z(0, 0, hz, 0);
    AddQuad(mesh, c + Vec4(0, 0, -hz), X, Y);   // facing −z
    AddQuad(mesh, c + Vec4(0, 0, hz), -X, Y);   // facing +z
    AddQuad(mesh, c + Vec4(-hx, 0, 0), -Z, Y);  // facing −x
    AddQuad(mesh, c + Vec4(hx, 0, 0), Z, Y);    // facing +x
    AddQuad(mesh, c + Vec4(0, hy, 0), X, Z);    // facing +y
    AddQuad(mesh, c + Vec4(0, -hy, 0), X, -Z);  // facing −y
    return mesh;
}

// A flat square of side 2 × half in the plane z = 0, facing −z (towards a camera on −z),
// cut into cells × cells quads.
inline MeshData Panel(float half, int cells)
{
    MeshData mesh;
    const float step = 2.0f * half / static_cast<float>(cells);
    for (int row = 0; row < cells; ++row) {
        for (int col = 0; col < cells; ++col) {
            const Vec4 centre(-half + step * (static_cast<float>(col) + 0.5f), -half + step * (static_cast<float>(row) + 0.5f), 0);
            AddQuad(mesh, centre, Vec4(step * 0.5f, 0, 0, 0), Vec4(0, step * 0.5f, 0, 0));
        }
    }
    // Texture coordinates across the whole panel rather than per cell.
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.texCoord[0] = (vertex.position[0] + half) / (2.0f * half);
        vertex.texCoord[1] = 1.0f - (vertex.position[1] + half) / (2.0f * half);
    }
    return mesh;
}

}  // namespace test_meshes
