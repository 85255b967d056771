#pragma once

#include <cstdint>
#include <vector>

#include "engine/device/DeviceVertices.h"
#include "engine/math/Vec4.h"

// An indexed triangle list in system memory: what a 3DF mesh block holds, before and after the
// steps that prepare it for the device.
struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle, each below vertices.size()

    uint32_t FaceCount() const { return static_cast<uint32_t>(indices.size() / 3); }
    // True when the index count is a multiple of three and every index names a vertex.
    bool IndicesValid() const;

    // Replaces every tangent and binormal by ones computed from the positions, normals and
    // texture coordinates: per-triangle texture-space directions summed at each vertex, then
    // made orthogonal to the normal (and the binormal to the tangent) and of unit length.
    void ComputeTangents();
    // The smallest box around the positions (w = 1); the box of no vertices is all zeros.
    void ComputeBounds(Vec4& minimum, Vec4& maximum) const;
    // Reorders the triangles for the post-transform vertex cache and the vertices for fetch
    // locality. Keeps every triangle with its winding.
    void OptimizeVertexCache();
};
