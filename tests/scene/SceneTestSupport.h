#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/math/Matrix.h"
#include "engine/platform/Log.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneSink.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/ModelFile.h"

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
