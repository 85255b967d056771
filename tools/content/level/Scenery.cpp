#include "tools/content/level/Scenery.h"

#include <algorithm>
#include <cmath>

Scenery::Scenery(const TrimSheet* hullSheet, float groundTile, float startZ, float endZ, float chunkLength, int frames)
    : hullSheet_(hullSheet), startZ_(startZ), chunkLength_(chunkLength), frames_(frames)
{
    const int count = static_cast<int>(std::ceil((endZ - startZ) / chunkLength));
    for (int i = 0; i < count; ++i) chunks_.push_back({MeshBuilder(hullSheet), MeshBuilder(nullptr, groundTile)});
}

Scenery::ChunkBuilders& Scenery::Chunk(float z)
{
    const int index = static_cast<int>(std::floor((z - startZ_) / chunkLength_));
    return chunks_[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(chunks_.size()) - 1))];
}

void Scenery::Span(float z0, float z1, const std::function<void(MeshBuilder&, float, float)>& build)
{
    float from = std::max(z0, startZ_);
    while (from < z1) {
        const float border = startZ_ + (std::floor((from - startZ_) / chunkLength_) + 1.0f) * chunkLength_;
        const float to = std::min(z1, border);
        if (to - from > 1e-3f) build(Hull((from + to) * 0.5f), from, to);
        from = to;
    }
}

void Scenery::AddAnimated(MeshBuilder mesh, std::function<keys::Pose(float)> pose)
{
    ModelFileObject object = mesh.ToObject(kHull);
    keys::Animate(object, frames_, pose);
    animated_.push_back(std::move(object));
}

void Scenery::AddLight(const V3& colour, const V3& position, float radius)
{
    ModelFileLight light;
    light.colour = keys::ToFloat3(colour);
    light.position = keys::ToFloat3(position);
    light.radius = radius;
    lights_.push_back(light);
}

void Scenery::AddLight(const LightKeys& keysOf)
{
    ModelFileLight light;
    light.animated = true;
    for (int k = 0; k < frames_; ++k) {
        const float t = keys::TimeOf(k);
        light.colourKeys.push_back(keys::ToFloat3(keysOf.colour(t)));
        light.positionKeys.push_back(keys::ToFloat3(keysOf.position(t)));
        light.radiusKeys.push_back(keysOf.radius(t));
    }
    // The game places lights at their file values: the pose at time 0.
    light.colour = light.colourKeys.front();
    light.position = light.positionKeys.front();
    light.radius = light.radiusKeys.front();
    lights_.push_back(light);
}

size_t Scenery::TriangleCount() const
{
    size_t count = 0;
    for (const ChunkBuilders& chunk : chunks_) count += chunk.hull.TriangleCount() + chunk.ground.TriangleCount();
    for (const ModelFileObject& object : animated_) count += object.indices.size() / 3;
    return count;
}

ModelFile Scenery::ToModel(const std::vector<ModelFileMaterial>& materials) const
{
    ModelFile model;
    model.frameCount = frames_;
    model.materials = materials;
    for (const ChunkBuilders& chunk : chunks_) {
        if (!chunk.hull.Empty()) model.objects.push_back(chunk.hull.ToObject(kHull));
        if (!chunk.ground.Empty()) model.objects.push_back(chunk.ground.ToObject(kGround));
    }
    model.objects.insert(model.objects.end(), animated_.begin(), animated_.end());
    model.lights = lights_;
    model.cameras = cameras_;
    return model;
}
