#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/math/Matrix.h"
#include "engine/platform/Log.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneSink.h"
#include "tools/modelwriter/ModelFile.h"

// A directory of its own under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() { std::filesystem::create_directories(path_); }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream file(File(name), std::ios::binary);
        if (!bytes.empty()) file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return File(name);
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("harn_scene_" + std::to_string(getpid()) + "_" + std::to_string(counter_++));
};

// Collects every log line while it lives.
class LogCapture {
public:
    LogCapture() { Log::SetListener([this](int, const std::string& text) { lines.push_back(text); }); }
    ~LogCapture() { Log::SetListener(nullptr); }
    bool Contains(const std::string& text) const
    {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }
    std::vector<std::string> lines;
};

// Records what a model submits.
class RecordingSink : public SceneSink {
public:
    struct Submission {
        SceneObject* object;
        Matrix world;
    };
    void AddObject(SceneObject& object, const Matrix& world) override { objects.push_back({&object, world}); }
    void AddLight(PointLight* light) override { lights.push_back(light); }
    Camera& GetCamera() override { return camera; }
    float DisplayAspect() const override { return 16.0f / 9.0f; }

    std::vector<Submission> objects;
    std::vector<PointLight*> lights;
    Camera camera;
};

// Facing −z.
inline MeshVertex Vertex(float x, float y, float z, float u, float v) { return {{x, y, z}, {0, 0, -1}, {u, v}, {}, {}}; }

// A unit quad in the z = 0 plane facing −z, u along +x and v along +y, as two triangles.
inline void QuadMesh(std::vector<MeshVertex>& vertices, std::vector<uint32_t>& indices, float offset = 0.0f)
{
    vertices = {Vertex(offset, 0, 0, 0, 0), Vertex(offset + 1, 0, 0, 1, 0), Vertex(offset + 1, 1, 0, 1, 1),
                Vertex(offset, 1, 0, 0, 1)};
    indices = {0, 1, 2, 0, 2, 3};
}

inline bool MatricesNear(const Matrix& a, const Matrix& b, float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i) {
        if (a.m[i] - b.m[i] > tolerance || b.m[i] - a.m[i] > tolerance) return false;
    }
    return true;
}
