#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/NullDevice.h"
#include "engine/platform/ResourceFile.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/SceneSink.h"
#include "engine/scene/TextureCache.h"
#include "engine/unrarlib/RarExtract.h"

// The game data the build made, read as the game reads it: from "data.qzr" beside the programs,
// on the null device.
namespace content {

inline const std::string& ArchivePathName()
{
    static const std::string path = std::string(HARN_BINARY_DIR) + "/data.qzr";
    return path;
}

// One entry's bytes, empty when the archive lacks it.
inline std::vector<uint8_t> Entry(const std::string& name)
{
    char* data = nullptr;
    unsigned long size = 0;
    if (!RarExtract(&data, &size, name.c_str(), ArchivePathName().c_str(), nullptr)) return {};
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

// Records what a model hands the renderer.
class RecordingSink : public SceneSink {
public:
    struct Placed {
        const SceneObject* object;
        Matrix world;
    };
    void AddObject(SceneObject& object, const Matrix& world) override { placed.push_back({&object, world}); }
    void AddLight(PointLight* light) override { lights.push_back(*light); }
    Camera& GetCamera() override { return camera; }
    float DisplayAspect() const override { return 4.0f / 3.0f; }

    std::vector<Placed> placed;
    std::vector<PointLight> lights;
    Camera camera;
};

// The smallest box around an object's vertices moved by world.
struct Box {
    Vec4 lo{1e30f, 1e30f, 1e30f};
    Vec4 hi{-1e30f, -1e30f, -1e30f};
    void Add(const Vec4& p)
    {
        lo = Vec4(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = Vec4(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
};

inline Box WorldBox(const SceneObject& object, const Matrix& world)
{
    Box box;
    for (const MeshVertex& v : object.Mesh().vertices) box.Add(world.Transform(Vec4(v.position[0], v.position[1], v.position[2])));
    return box;
}

inline Box PoseBox(const RecordingSink& sink)
{
    Box box;
    for (const auto& placed : sink.placed) {
        const Box b = WorldBox(*placed.object, placed.world);
        box.Add(b.lo);
        box.Add(b.hi);
    }
    return box;
}

// A fixture that reads models out of the archive on a null device.
class ContentTest : public ::testing::Test {
protected:
    ContentTest() : current_(&device_)
    {
        previousArchive_ = ArchivePath;
        ArchivePath = ArchivePathName().c_str();
    }
    ~ContentTest() override
    {
        TextureCache::Clear();
        ArchivePath = previousArchive_;
    }

    void SetUp() override { ASSERT_TRUE(std::filesystem::exists(ArchivePathName())) << "the build makes data.qzr first"; }

    std::unique_ptr<SceneModel> Load(const char* name)
    {
        auto model = std::make_unique<SceneModel>();
        EXPECT_TRUE(model->Load(name)) << name;
        return model;
    }

private:
    NullDevice device_;
    ScopedCurrentDevice current_;
    const char* previousArchive_ = nullptr;
};

}  // namespace content
