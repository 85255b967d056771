#include "engine/scene/SceneObject.h"

#include <utility>

#include "engine/device/GraphicsDevice.h"
#include "engine/platform/Log.h"
#include "engine/platform/ResourceReader.h"
#include "engine/scene/Material.h"

namespace {

constexpr uint32_t kLargestShortIndex = 0xFFFF;
const Vec4 kDefaultBoxMin{-3.0f, -3.0f, -10.0f, 1.0f};
const Vec4 kDefaultBoxMax{3.0f, 3.0f, 10.0f, 1.0f};

}  // namespace

SceneObject::SceneObject() = default;

SceneObject::SceneObject(const SceneObject& other)
    : local(other.local),
      animated(other.animated),
      positionTrack(other.positionTrack),
      axisTrack(other.axisTrack),
      angleTrack(other.angleTrack),
      thirdTrack(other.thirdTrack),
      boxMin_(other.boxMin_),
      boxMax_(other.boxMax_)
{
    if (other.hasMesh_) {
        mesh_ = other.mesh_;
        hasMesh_ = true;
        UploadMesh();
    }
}

SceneObject::~SceneObject()
{
    ReleaseMesh();
    SetOwner(nullptr);
}

void SceneObject::SetOwner(Material* material)
{
    if (owner_ == material) return;
    if (owner_ != nullptr) owner_->users.Remove(this);
    owner_ = material;
    if (owner_ != nullptr) owner_->users.Append(this);
}

bool SceneObject::BoxTouchesSphere(const Vec4& centre, float radius) const
{
    const float point[3] = {centre.x, centre.y, centre.z};
    const float low[3] = {boxMin_.x, boxMin_.y, boxMin_.z};
    const float high[3] = {boxMax_.x, boxMax_.y, boxMax_.z};
    float distance = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        float outside = 0.0f;
        if (point[axis] < low[axis]) outside = low[axis] - point[axis];
        if (point[axis] > high[axis]) outside = point[axis] - high[axis];
        distance += outside * outside;
    }
    return distance < radius * radius;
}

bool SceneObject::LoadMesh(ResourceReader& reader)
{
    Log::Print(1, "mesh load:");
    int32_t vertexCount = 0;
    int32_t indexCount = 0;
    reader.Read(&vertexCount, sizeof vertexCount);
    reader.Read(&indexCount, sizeof indexCount);
    Log::Print(1, "\tvertices: %d", vertexCount);
    Log::Print(1, "\tfaces: %d", indexCount / 3);
    ReleaseMesh();
    if (reader.Failed()) return false;
    const uint64_t vertices = vertexCount > 0 ? static_cast<uint64_t>(vertexCount) : 0;
    const uint64_t indices = indexCount > 0 ? static_cast<uint64_t>(indexCount) : 0;
    const uint64_t bytes = vertices * sizeof(MeshVertex) + indices * sizeof(uint32_t);
    if (bytes > reader.Remaining()) {
        Log::Print(1, "mesh block runs past the end of the file");
        // Reading from the end marks the reader failed without taking memory for the block.
        reader.Seek(UINT32_MAX);
        uint8_t probe = 0;
        reader.Read(&probe, 1);
        return false;
    }
    MeshData data;
    data.vertices.resize(vertices);
    data.indices.resize(indices);
    reader.Read(data.vertices.data(), static_cast<uint32_t>(vertices * sizeof(MeshVertex)));
    reader.Read(data.indices.data(), static_cast<uint32_t>(indices * sizeof(uint32_t)));
    if (reader.Failed()) return false;
    return BuildMesh(std::move(data));
}

bool SceneObject::BuildMesh(MeshData data)
{
    ReleaseMesh();
    if (!data.IndicesValid()) {
        Log::Print(1, "mesh rejected: %zu indices do not form triangles of its %zu vertices", data.indices.size(),
                   data.vertices.size());
        return false;
    }
    if (data.vertices.empty() || data.indices.empty()) {
        Log::Print(1, "mesh rejected: no triangles");
        return false;
    }
    mesh_ = std::move(data);
    mesh_.ComputeTangents();
    mesh_.ComputeBounds(boxMin_, boxMax_);
    mesh_.OptimizeVertexCache();
    hasMesh_ = true;
    UploadMesh();
    return true;
}

void SceneObject::ReleaseMesh()
{
    vertexBuffer_.reset();
    indexBuffer_.reset();
    mesh_ = MeshData{};
    hasMesh_ = false;
    // Without a mesh the object has the default box again.
    boxMin_ = kDefaultBoxMin;
    boxMax_ = kDefaultBoxMax;
}

// 16-bit indices where the vertices allow, 32-bit beyond 65,535 vertices. Without a device the
// mesh stays in system memory only (headless tools read it there).
void SceneObject::UploadMesh()
{
    GraphicsDevice* device = GraphicsDevice::Current();
    if (device == nullptr) return;
    vertexBuffer_ = device->CreateVertexBuffer(mesh_.vertices.data(), static_cast<uint32_t>(mesh_.vertices.size()));
    const uint32_t count = static_cast<uint32_t>(mesh_.indices.size());
    if (mesh_.vertices.size() <= kLargestShortIndex) {
        const std::vector<uint16_t> shortIndices(mesh_.indices.begin(), mesh_.indices.end());
        indexBuffer_ = device->CreateIndexBuffer(shortIndices.data(), count);
    } else {
        indexBuffer_ = device->CreateIndexBuffer(mesh_.indices.data(), count);
    }
    if (vertexBuffer_ == nullptr || indexBuffer_ == nullptr) {
        Log::Print(1, "mesh upload failed; the object is not drawn");
        vertexBuffer_.reset();
        indexBuffer_.reset();
    }
}

void SceneObject::Draw(const Matrix& world, int32_t frameStamp) const
{
    // An object never submitted keeps stamp −1 and is never drawn, whatever stamp is asked for.
    if (frameStamp_ == -1 || frameStamp != frameStamp_ || vertexBuffer_ == nullptr || indexBuffer_ == nullptr) return;
    GraphicsDevice* device = GraphicsDevice::Current();
    if (device == nullptr) return;
    device->SetTransform(TransformType::World, world);
    device->SetStreamSource(vertexBuffer_.get());
    device->SetIndices(indexBuffer_.get());
    device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, mesh_.FaceCount());
}
