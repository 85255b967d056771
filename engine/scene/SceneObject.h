#pragma once

#include <cstdint>
#include <memory>

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"
#include "engine/scene/MeshData.h"
#include "engine/scene/Track.h"
#include "engine/scene/VectorTrack.h"

class IndexBuffer;
class ResourceReader;
class VertexBuffer;
struct Material;

// One mesh object of a model: its mesh (a system-memory copy and the device buffers made from
// it), the material that draws it, its box, its placement and its animation tracks.
class SceneObject {
public:
    SceneObject();
    // A copy takes the box, the placement, the tracks and a copy of the mesh (with device
    // buffers of its own), but no material and no frame stamp.
    SceneObject(const SceneObject& other);
    SceneObject& operator=(const SceneObject&) = delete;
    // Releases the device mesh and leaves the material's list.
    ~SceneObject();

    // Reads one mesh block (vertex count, index count, vertices, indices) and builds the mesh:
    // tangents recomputed, box from the positions, triangles reordered for the vertex cache,
    // buffers on the device. A block whose index count is not a multiple of three, or with an
    // index that names no vertex, is consumed but leaves the object without a mesh (false);
    // a block larger than what is left of the file consumes nothing it cannot hold (false,
    // and the reader is marked failed).
    bool LoadMesh(ResourceReader& reader);
    // Builds the mesh from data in memory, as LoadMesh does after reading. False, leaving the
    // object without a mesh, for invalid indices.
    bool BuildMesh(MeshData data);

    // Sets the world transform and draws the mesh, only when the stamp is the object's own
    // (the object was submitted in the frame being drawn); never for an object never submitted.
    void Draw(const Matrix& world, int32_t frameStamp) const;
    void SetFrameStamp(int32_t stamp) { frameStamp_ = stamp; }
    int32_t FrameStamp() const { return frameStamp_; }

    // True when the sphere reaches into the box: the squared distance from the centre to the
    // box is strictly below radius².
    bool BoxTouchesSphere(const Vec4& centre, float radius) const;

    // Leaves the current material's list and joins the new one's (null: no material).
    void SetOwner(Material* material);
    Material* Owner() const { return owner_; }
    // Called by a material that is going away.
    void ForgetOwner() { owner_ = nullptr; }

    // The mesh as it was built (after tangents and reordering), kept in system memory.
    const MeshData& Mesh() const { return mesh_; }
    bool HasMesh() const { return hasMesh_; }
    // The device buffers; null without a mesh or a device.
    VertexBuffer* DeviceVertices() const { return vertexBuffer_.get(); }
    IndexBuffer* DeviceIndices() const { return indexBuffer_.get(); }
    const Vec4& BoxMin() const { return boxMin_; }
    const Vec4& BoxMax() const { return boxMax_; }

    Matrix local;
    bool animated = false;
    VectorTrack positionTrack;
    VectorTrack axisTrack;
    Track angleTrack;
    VectorTrack thirdTrack;

private:
    void ReleaseMesh();
    void UploadMesh();

    MeshData mesh_;
    bool hasMesh_ = false;
    std::unique_ptr<VertexBuffer> vertexBuffer_;
    std::unique_ptr<IndexBuffer> indexBuffer_;
    Material* owner_ = nullptr;
    int32_t frameStamp_ = -1;
    Vec4 boxMin_{-3.0f, -3.0f, -10.0f, 1.0f};
    Vec4 boxMax_{3.0f, 3.0f, 10.0f, 1.0f};
};
