#include "tools/content/kit/MeshBuilder.h"

#include <algorithm>
#include <cmath>

#include "engine/scene/MeshData.h"

namespace {

constexpr float kStretchLimit = 1.5f;  // a face up to this many band widths across is squeezed in

// The standard (right-handed) Newell normal; front faces of the engine point the other way.
V3 NewellNormal(const std::vector<V3>& p)
{
    V3 n;
    for (size_t i = 0; i < p.size(); ++i) {
        const V3& a = p[i];
        const V3& b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

// A unit direction in the face's plane, as close to the wanted one as the plane allows.
V3 InPlane(const V3& wanted, const V3& normal)
{
    V3 a = wanted - normal * Dot(normal, wanted);
    if (Length(a) > 0.2f * Length(wanted)) return Normalized(a);
    for (V3 axis : {V3{0, 0, 1}, V3{1, 0, 0}, V3{0, 1, 0}}) {
        a = axis - normal * Dot(normal, axis);
        if (Length(a) > 0.5f) return Normalized(a);
    }
    return Normalized(a);
}

float AlignmentWith(const V3& edge, const V3& direction) { return std::fabs(Dot(Normalized(edge), direction)); }

}  // namespace

MeshBuilder::MeshBuilder(const TrimSheet* sheet, float tileUnits) : sheet_(sheet), tileUnits_(tileUnits) {}

float MeshBuilder::U(int band, float distance) const { return distance / sheet_->UnitsPerRepeat(band); }

float MeshBuilder::V(int band, float t) const { return sheet_->V(band, t); }

void MeshBuilder::Face(const std::vector<V3>& local, const V3& outward, const Surface& surface)
{
    if (local.size() < 3) return;
    std::vector<V3> corners;
    corners.reserve(local.size());
    for (const V3& p : local) corners.push_back(frame_.Point(p));
    const V3 out = frame_.Direction(outward);
    V3 normal = -NewellNormal(corners);
    if (Length(normal) < 1e-9f) return;
    normal = Normalized(normal);
    if (Dot(normal, out) < 0.0f) {
        std::reverse(corners.begin(), corners.end());
        normal = -normal;
    }
    if (sheet_ == nullptr) {
        MapTiled(corners, normal);
        return;
    }
    Surface modelSurface = surface;
    modelSurface.along = frame_.Direction(surface.along);
    MapBand(corners, normal, modelSurface, true);
}

void MeshBuilder::MapBand(const std::vector<V3>& corners, const V3& normal, const Surface& surface, bool mayCut)
{
    const V3 along = InPlane(surface.along, normal);
    const V3 across = Cross(normal, along);  // v grows downwards when u grows rightwards, seen from the front
    const float width = sheet_->At(surface.band).across;
    float lo = 1e30f, hi = -1e30f;
    for (const V3& p : corners) {
        lo = std::min(lo, Dot(p, across));
        hi = std::max(hi, Dot(p, across));
    }
    const float extent = hi - lo;
    if (mayCut && corners.size() == 4 && extent > kStretchLimit * width) {
        // Cut into strips between the pair of opposite edges that runs across the band.
        const int strips = std::max(2, static_cast<int>(std::lround(extent / width)));
        const bool sidesAcross = AlignmentWith(corners[3] - corners[0], across) + AlignmentWith(corners[2] - corners[1], across) >
                                 AlignmentWith(corners[1] - corners[0], across) + AlignmentWith(corners[2] - corners[3], across);
        for (int k = 0; k < strips; ++k) {
            const float t0 = static_cast<float>(k) / static_cast<float>(strips);
            const float t1 = static_cast<float>(k + 1) / static_cast<float>(strips);
            std::vector<V3> strip;
            if (sidesAcross) {
                strip = {Lerp(corners[0], corners[3], t0), Lerp(corners[1], corners[2], t0), Lerp(corners[1], corners[2], t1),
                         Lerp(corners[0], corners[3], t1)};
            } else {
                strip = {Lerp(corners[0], corners[1], t0), Lerp(corners[0], corners[1], t1), Lerp(corners[3], corners[2], t1),
                         Lerp(corners[3], corners[2], t0)};
            }
            MapBand(strip, normal, surface, false);
        }
        return;
    }
    // A narrow face shows the middle of the band at its true scale; a wider one is fitted.
    const float span = std::max(extent, width);
    const float start = lo - (span - extent) * 0.5f;
    std::vector<float> u, v;
    for (const V3& p : corners) {
        u.push_back(U(surface.band, Dot(p, along)));
        v.push_back(V(surface.band, (Dot(p, across) - start) / span));
    }
    EmitFlat(corners, normal, u, v);
}

void MeshBuilder::MapTiled(const std::vector<V3>& corners, const V3& normal)
{
    // Projected along the normal's largest axis.
    const float ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    std::vector<float> u, v;
    for (const V3& p : corners) {
        float s, t;
        if (ay >= ax && ay >= az) {
            s = p.x;
            t = p.z;
        } else if (ax >= az) {
            s = p.z;
            t = p.y;
        } else {
            s = p.x;
            t = p.y;
        }
        u.push_back(s / tileUnits_);
        v.push_back(-t / tileUnits_);
    }
    EmitFlat(corners, normal, u, v);
}

void MeshBuilder::EmitFlat(const std::vector<V3>& corners, const V3& normal, const std::vector<float>& u,
                           const std::vector<float>& v)
{
    const auto base = static_cast<uint32_t>(vertices_.size());
    for (size_t i = 0; i < corners.size(); ++i) {
        MeshVertex vertex{};
        vertex.position[0] = corners[i].x;
        vertex.position[1] = corners[i].y;
        vertex.position[2] = corners[i].z;
        vertex.normal[0] = normal.x;
        vertex.normal[1] = normal.y;
        vertex.normal[2] = normal.z;
        vertex.texCoord[0] = u[i];
        vertex.texCoord[1] = v[i];
        vertices_.push_back(vertex);
    }
    for (uint32_t i = 1; i + 1 < corners.size(); ++i) {
        indices_.push_back(base);
        indices_.push_back(base + i);
        indices_.push_back(base + i + 1);
    }
}

uint32_t MeshBuilder::Vertex(const V3& position, const V3& normal, float u, float v)
{
    const V3 p = frame_.Point(position);
    // Frames are rigid (perhaps mirrored), so a normal maps like any other direction.
    const V3 n = Normalized(frame_.Direction(normal));
    MeshVertex vertex{};
    vertex.position[0] = p.x;
    vertex.position[1] = p.y;
    vertex.position[2] = p.z;
    vertex.normal[0] = n.x;
    vertex.normal[1] = n.y;
    vertex.normal[2] = n.z;
    vertex.texCoord[0] = u;
    vertex.texCoord[1] = v;
    vertices_.push_back(vertex);
    return static_cast<uint32_t>(vertices_.size() - 1);
}

void MeshBuilder::Triangle(uint32_t a, uint32_t b, uint32_t c)
{
    auto position = [&](uint32_t i) {
        const float* p = vertices_[i].position;
        return V3{p[0], p[1], p[2]};
    };
    auto normal = [&](uint32_t i) {
        const float* n = vertices_[i].normal;
        return V3{n[0], n[1], n[2]};
    };
    const V3 front = -NewellNormal({position(a), position(b), position(c)});
    if (Dot(front, normal(a) + normal(b) + normal(c)) < 0.0f) std::swap(b, c);
    indices_.insert(indices_.end(), {a, b, c});
}

void MeshBuilder::Append(const MeshBuilder& other)
{
    const auto base = static_cast<uint32_t>(vertices_.size());
    vertices_.insert(vertices_.end(), other.vertices_.begin(), other.vertices_.end());
    for (uint32_t index : other.indices_) indices_.push_back(base + index);
}

MeshBuilder MeshBuilder::TakeSteep(float minUp)
{
    MeshBuilder steep(sheet_, tileUnits_);
    MeshBuilder kept(sheet_, tileUnits_);
    // Old vertex index to new, for each side; a vertex that both sides use is copied.
    std::vector<int64_t> steepIndex(vertices_.size(), -1), keptIndex(vertices_.size(), -1);
    auto take = [this](MeshBuilder& into, std::vector<int64_t>& remap, uint32_t index) {
        if (remap[index] < 0) {
            remap[index] = static_cast<int64_t>(into.vertices_.size());
            into.vertices_.push_back(vertices_[index]);
        }
        into.indices_.push_back(static_cast<uint32_t>(remap[index]));
    };
    for (size_t i = 0; i + 2 < indices_.size(); i += 3) {
        V3 corners[3];
        for (int k = 0; k < 3; ++k) {
            const float* p = vertices_[indices_[i + static_cast<size_t>(k)]].position;
            corners[k] = {p[0], p[1], p[2]};
        }
        const V3 front = -NewellNormal({corners[0], corners[1], corners[2]});
        const bool isSteep = Length(front) > 0.0f && Normalized(front).y < minUp;
        for (int k = 0; k < 3; ++k) {
            const uint32_t index = indices_[i + static_cast<size_t>(k)];
            if (isSteep) take(steep, steepIndex, index);
            else take(kept, keptIndex, index);
        }
    }
    vertices_ = std::move(kept.vertices_);
    indices_ = std::move(kept.indices_);
    return steep;
}

ModelFileObject MeshBuilder::ToObject(int32_t material) const
{
    MeshData mesh;
    mesh.vertices = vertices_;
    mesh.indices = indices_;
    mesh.ComputeTangents();
    ModelFileObject object;
    object.material = material;
    object.vertices = std::move(mesh.vertices);
    object.indices = std::move(mesh.indices);
    return object;
}
