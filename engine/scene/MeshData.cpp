#include "engine/scene/MeshData.h"

#include <cmath>

#include <meshoptimizer.h>

namespace {

struct Direction {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

Direction Sub(const float* a, const float* b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
float Dot(const Direction& a, const Direction& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Direction Scaled(const Direction& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Direction Minus(const Direction& a, const Direction& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
void AddTo(Direction& a, const Direction& b)
{
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
}

// Some unit direction at right angles to the normal, for a vertex whose texture coordinates give
// no direction of their own.
Direction AnyPerpendicular(const Direction& n)
{
    const Direction axis = std::fabs(n.x) < 0.9f ? Direction{1, 0, 0} : Direction{0, 1, 0};
    return Minus(axis, Scaled(n, Dot(axis, n)));
}

bool Normalise(Direction& d)
{
    const float length = std::sqrt(Dot(d, d));
    if (!(length > 1e-12f) || !std::isfinite(length)) return false;
    d = Scaled(d, 1.0f / length);
    return true;
}

void Store(float* target, const Direction& d)
{
    target[0] = d.x;
    target[1] = d.y;
    target[2] = d.z;
}

void AccumulateTriangle(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c, Direction& tangent, Direction& binormal)
{
    const Direction e1 = Sub(b.position, a.position);
    const Direction e2 = Sub(c.position, a.position);
    const float du1 = b.texCoord[0] - a.texCoord[0], dv1 = b.texCoord[1] - a.texCoord[1];
    const float du2 = c.texCoord[0] - a.texCoord[0], dv2 = c.texCoord[1] - a.texCoord[1];
    const float det = du1 * dv2 - du2 * dv1;
    if (std::fabs(det) < 1e-20f || !std::isfinite(det)) return;
    const float r = 1.0f / det;
    tangent = Scaled(Minus(Scaled(e1, dv2), Scaled(e2, dv1)), r);
    binormal = Scaled(Minus(Scaled(e2, du1), Scaled(e1, du2)), r);
}

}  // namespace

bool MeshData::IndicesValid() const
{
    if (indices.size() % 3 != 0) return false;
    for (uint32_t index : indices) {
        if (index >= vertices.size()) return false;
    }
    return true;
}

void MeshData::ComputeTangents()
{
    std::vector<Direction> tangents(vertices.size());
    std::vector<Direction> binormals(vertices.size());
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        const uint32_t corner[3] = {indices[f], indices[f + 1], indices[f + 2]};
        Direction t, b;
        AccumulateTriangle(vertices[corner[0]], vertices[corner[1]], vertices[corner[2]], t, b);
        for (uint32_t v : corner) {
            AddTo(tangents[v], t);
            AddTo(binormals[v], b);
        }
    }
    for (size_t v = 0; v < vertices.size(); ++v) {
        Direction n{vertices[v].normal[0], vertices[v].normal[1], vertices[v].normal[2]};
        if (!Normalise(n)) n = {0, 0, 1};
        Direction t = Minus(tangents[v], Scaled(n, Dot(n, tangents[v])));
        if (!Normalise(t)) {
            t = AnyPerpendicular(n);
            Normalise(t);
        }
        Direction b = Minus(Minus(binormals[v], Scaled(n, Dot(n, binormals[v]))), Scaled(t, Dot(t, binormals[v])));
        if (!Normalise(b)) {
            b = {n.y * t.z - n.z * t.y, n.z * t.x - n.x * t.z, n.x * t.y - n.y * t.x};
            Normalise(b);
        }
        Store(vertices[v].tangent, t);
        Store(vertices[v].binormal, b);
    }
}

void MeshData::ComputeBounds(Vec4& minimum, Vec4& maximum) const
{
    if (vertices.empty()) {
        minimum.Set(0, 0, 0, 1);
        maximum.Set(0, 0, 0, 1);
        return;
    }
    const float* first = vertices[0].position;
    minimum.Set(first[0], first[1], first[2], 1);
    maximum.Set(first[0], first[1], first[2], 1);
    for (const MeshVertex& vertex : vertices) {
        const float* p = vertex.position;
        minimum.x = std::fmin(minimum.x, p[0]);
        minimum.y = std::fmin(minimum.y, p[1]);
        minimum.z = std::fmin(minimum.z, p[2]);
        maximum.x = std::fmax(maximum.x, p[0]);
        maximum.y = std::fmax(maximum.y, p[1]);
        maximum.z = std::fmax(maximum.z, p[2]);
    }
}

void MeshData::OptimizeVertexCache()
{
    if (indices.empty() || !IndicesValid()) return;
    std::vector<uint32_t> reordered(indices.size());
    meshopt_optimizeVertexCache(reordered.data(), indices.data(), indices.size(), vertices.size());
    // Vertices in first-use order; vertices no triangle uses keep their place after those, so
    // the vertex count stays what the file says.
    std::vector<uint32_t> remap(vertices.size());
    size_t next = meshopt_optimizeVertexFetchRemap(remap.data(), reordered.data(), reordered.size(), vertices.size());
    for (uint32_t& slot : remap) {
        if (slot == ~0u) slot = static_cast<uint32_t>(next++);
    }
    std::vector<MeshVertex> fetched(vertices.size());
    for (size_t v = 0; v < vertices.size(); ++v) fetched[remap[v]] = vertices[v];
    for (uint32_t& index : reordered) index = remap[index];
    indices.swap(reordered);
    vertices.swap(fetched);
}
