#pragma once

#include <cstdint>
#include <vector>

#include "engine/device/DeviceVertices.h"
#include "tools/content/kit/TrimSheet.h"
#include "tools/content/kit/Vec3.h"
#include "tools/modelwriter/ModelFile.h"

// How a face takes its texture: a band of the builder's trim sheet with u running along the given
// direction, or, for a builder without a sheet, a planar projection that tiles the whole texture.
struct Surface {
    int band = 0;
    V3 along{0.0f, 0.0f, 1.0f};  // in the builder's current frame
};

// Collects the triangles of one 3DF object. Geometry is given in a current frame (so that parts can
// be placed, turned and mirrored) and stored in model space, where its texture coordinates are
// worked out: texel density and the tiling along u stay the same across parts.
//
// Front faces are counter-clockwise seen from outside in the engine's left-handed world. Every
// face is given with a direction that points out of it, and the builder orders its corners to
// match, so that a mirrored frame needs no care.
class MeshBuilder {
public:
    // sheet may be null: faces then tile the texture every tileUnits world units.
    explicit MeshBuilder(const TrimSheet* sheet, float tileUnits = 32.0f);

    void SetFrame(const Frame& frame) { frame_ = frame; }
    const Frame& CurrentFrame() const { return frame_; }

    // A flat convex face of three or more corners. A quad that is much wider across its band
    // than the band covers is cut into strips, each showing the band once.
    void Face(const std::vector<V3>& corners, const V3& outward, const Surface& surface);
    void Quad(const V3& a, const V3& b, const V3& c, const V3& d, const V3& outward, const Surface& surface)
    {
        Face({a, b, c, d}, outward, surface);
    }

    // Vertices with their own normals (local), for smooth parts; texture coordinates given.
    uint32_t Vertex(const V3& position, const V3& normal, float u, float v);
    // A triangle of vertices added above; its order is fixed to face the way its normals point.
    void Triangle(uint32_t a, uint32_t b, uint32_t c);

    // u of a model-space position along a direction in the given band; v inside the band.
    float U(int band, float distance) const;
    float V(int band, float t) const;
    const TrimSheet* Sheet() const { return sheet_; }

    size_t TriangleCount() const { return indices_.size() / 3; }
    bool Empty() const { return indices_.empty(); }
    // Appends everything of another builder (both in model space already).
    void Append(const MeshBuilder& other);
    // Moves every triangle that faces less than minUp upwards (the y of its unit normal) into a
    // builder of its own and returns that: flanks and rims, for a darker material that shapes a
    // model seen from above, where no light reaches its top.
    MeshBuilder TakeSteep(float minUp);
    // The object, tangents computed, placed at the origin without rotation.
    ModelFileObject ToObject(int32_t material) const;

    const std::vector<MeshVertex>& Vertices() const { return vertices_; }

private:
    void EmitFlat(const std::vector<V3>& corners, const V3& normal, const std::vector<float>& u,
                  const std::vector<float>& v);
    // A quad too wide for its band is cut once into strips; the strips are not cut again.
    void MapBand(const std::vector<V3>& corners, const V3& normal, const Surface& surface, bool mayCut);
    void MapTiled(const std::vector<V3>& corners, const V3& normal);

    const TrimSheet* sheet_;
    float tileUnits_;
    Frame frame_;
    std::vector<MeshVertex> vertices_;
    std::vector<uint32_t> indices_;
};
