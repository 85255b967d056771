#pragma once

#include <functional>
#include <vector>

#include "tools/content/kit/Keys.h"
#include "tools/content/kit/MeshBuilder.h"
#include "tools/modelwriter/ModelFile.h"

// The level's scenery while it is being built: geometry sorted into chunks along z (one builder
// per material per chunk, so that the renderer culls whole chunks and draws few objects), the
// animated parts that the title screen moves, and the lights.
class Scenery {
public:
    // Materials of every chunk, in this order.
    enum Material { kHull, kGround, kMaterialCount };

    Scenery(const TrimSheet* hullSheet, float groundTile, float startZ, float endZ, float chunkLength, int frames);

    // The builder of the chunk that holds z (clamped to the level).
    MeshBuilder& Hull(float z) { return Chunk(z).hull; }
    MeshBuilder& Ground(float z) { return Chunk(z).ground; }
    // Calls build once for each chunk that the span [z0, z1] crosses, with the part of the span
    // inside it, so that long things are cut at chunk borders.
    void Span(float z0, float z1, const std::function<void(MeshBuilder& hull, float from, float to)>& build);

    // A part with its own object, posed over time (the game shows it at its pose at time 0).
    void AddAnimated(MeshBuilder mesh, std::function<keys::Pose(float)> pose);
    // A light; animated when colour or position change over time.
    struct LightKeys {
        std::function<V3(float)> colour;
        std::function<V3(float)> position;
        std::function<float(float)> radius;
    };
    void AddLight(const V3& colour, const V3& position, float radius);
    void AddLight(const LightKeys& light);
    void AddCamera(ModelFileCamera camera) { cameras_.push_back(std::move(camera)); }

    const TrimSheet* HullSheet() const { return hullSheet_; }
    int Frames() const { return frames_; }
    size_t TriangleCount() const;

    // materials: one per Material, in order.
    ModelFile ToModel(const std::vector<ModelFileMaterial>& materials) const;

private:
    struct ChunkBuilders {
        MeshBuilder hull;
        MeshBuilder ground;
    };
    ChunkBuilders& Chunk(float z);

    const TrimSheet* hullSheet_;
    float startZ_;
    float chunkLength_;
    int frames_;
    std::vector<ChunkBuilders> chunks_;
    std::vector<ModelFileObject> animated_;
    std::vector<ModelFileLight> lights_;
    std::vector<ModelFileCamera> cameras_;
};
