#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "SceneTestSupport.h"
#include "engine/device/IndexBuffer.h"
#include "engine/device/NullDevice.h"
#include "engine/device/VertexBuffer.h"
#include "engine/scene/Material.h"
#include "engine/scene/MeshData.h"
#include "engine/scene/SceneObject.h"

namespace {

MeshData Quad()
{
    MeshData data;
    QuadMesh(data.vertices, data.indices);
    return data;
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

TEST(MeshTangents, TangentsFollowUAndStayUnitAndOrthogonalToTheNormal)
{
    using Vector = std::array<float, 3>;
    const struct { const char* name; std::function<void(MeshVertex&)> change; Vector tangent; bool checkDirection; } cases[] = {
        // Whatever the file held is replaced.
        {"plain quad", [](MeshVertex& v) { v.tangent[0] = 7.0f, v.binormal[1] = -3.0f; }, {1, 0, 0}, true},
        // The tangent loses its component along the tilted normal.
        {"normals tilted towards +x", [](MeshVertex& v) { v.normal[0] = 0.6f, v.normal[2] = -0.8f; }, {0.8f, 0, 0.6f}, true},
        {"mirrored u", [](MeshVertex& v) { v.texCoord[0] = 1.0f - v.texCoord[0]; }, {-1, 0, 0}, true},
        {"degenerate coordinates", [](MeshVertex& v) { v.texCoord[0] = v.texCoord[1] = 0.5f; }, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MeshData quad = Quad();
        std::for_each(quad.vertices.begin(), quad.vertices.end(), c.change);
        quad.ComputeTangents();
        for (const MeshVertex& vertex : quad.vertices) {
            EXPECT_NEAR(Dot(vertex.tangent, vertex.tangent), 1.0f, 1e-5f);
            EXPECT_NEAR(Dot(vertex.tangent, vertex.normal), 0.0f, 1e-5f);
            EXPECT_NEAR(Dot(vertex.tangent, vertex.binormal), 0.0f, 1e-5f);
            for (int i = 0; i < 3 && c.checkDirection; ++i) EXPECT_NEAR(vertex.tangent[i], c.tangent[i], 1e-5f);
        }
    }
    MeshData quad = Quad();
    quad.ComputeTangents();
    const float alongV[3] = {0, 1, 0};
    for (const MeshVertex& vertex : quad.vertices) {
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(vertex.binormal[i], alongV[i], 1e-5f);
    }
}

using Triangle = std::array<std::array<float, 3>, 3>;

// Each triangle by its corner positions, turned so that its smallest corner comes first
// (keeping the winding), sorted.
std::vector<Triangle> Triangles(const MeshData& data)
{
    std::vector<Triangle> triangles;
    for (size_t f = 0; f + 2 < data.indices.size(); f += 3) {
        Triangle t;
        for (int c = 0; c < 3; ++c) {
            const float* p = data.vertices[data.indices[f + c]].position;
            t[c] = {p[0], p[1], p[2]};
        }
        std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
        triangles.push_back(t);
    }
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

// Misses of a 16-entry first-in first-out vertex cache.
int CacheMisses(const MeshData& data)
{
    std::vector<uint32_t> cache;
    int count = 0;
    for (uint32_t index : data.indices) {
        if (std::find(cache.begin(), cache.end(), index) != cache.end()) continue;
        ++count;
        cache.insert(cache.begin(), index);
        if (cache.size() > 16) cache.pop_back();
    }
    return count;
}

TEST(MeshOptimisation, ReorderingAShuffledGridKeepsEveryTriangleAndVertexWithFewerCacheMisses)
{
    MeshData data;
    const uint32_t side = 30;
    for (uint32_t y = 0; y <= side; ++y) {
        for (uint32_t x = 0; x <= side; ++x) data.vertices.push_back(Vertex(float(x), float(y), 0, float(x), float(y)));
    }
    std::vector<std::array<uint32_t, 3>> faces;
    for (uint32_t a = 0; a < side * (side + 1); ++a) {
        if (a % (side + 1) == side) continue;
        faces.push_back({a, a + 1, a + side + 2});
        faces.push_back({a, a + side + 2, a + side + 1});
    }
    std::mt19937 random(7);
    std::shuffle(faces.begin(), faces.end(), random);
    for (const auto& face : faces) data.indices.insert(data.indices.end(), face.begin(), face.end());
    data.vertices.push_back(Vertex(99, 99, 99, 0, 0));  // no triangle uses it, yet it keeps its place
    const std::vector<Triangle> before = Triangles(data);
    const size_t vertexCount = data.vertices.size();
    const int misses = CacheMisses(data);
    data.OptimizeVertexCache();
    EXPECT_EQ(Triangles(data), before);
    EXPECT_EQ(data.vertices.size(), vertexCount);
    EXPECT_TRUE(data.IndicesValid());
    EXPECT_LT(CacheMisses(data), misses * 3 / 4);
}

class SceneObjectOnDevice : public ::testing::Test {
protected:
    NullDevice device;
    ScopedCurrentDevice current{&device};
};

TEST_F(SceneObjectOnDevice, NewObjectsAndFailedRebuildsHaveTheDefaultBoxAndNoMesh)
{
    SceneObject object;
    for (int build = 0; build < 2; ++build) {
        EXPECT_FALSE(object.HasMesh());
        EXPECT_EQ(object.DeviceVertices(), nullptr);
        EXPECT_EQ(object.BoxMin(), Vec4(-3, -3, -10, 1));
        EXPECT_EQ(object.BoxMax(), Vec4(3, 3, 10, 1));
        ASSERT_TRUE(object.BuildMesh(Quad()));
        MeshData bad = Quad();
        bad.indices.push_back(0);
        EXPECT_FALSE(object.BuildMesh(bad));  // the earlier mesh is released
    }
}

TEST_F(SceneObjectOnDevice, BuildingAMeshPutsItsBuffersOnTheDevice)
{
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(Quad()));
    ASSERT_NE(object.DeviceVertices(), nullptr);
    ASSERT_NE(object.DeviceIndices(), nullptr);
    EXPECT_EQ(object.DeviceVertices()->Count(), 4u);
    EXPECT_EQ(object.DeviceIndices()->Count(), 6u);
    EXPECT_EQ(object.DeviceIndices()->Format(), IndexFormat::Index16);
    std::vector<MeshVertex> vertices;
    ASSERT_TRUE(object.DeviceVertices()->Read(&vertices));
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_EQ(std::memcmp(vertices.data(), object.Mesh().vertices.data(), 4 * sizeof(MeshVertex)), 0);
    EXPECT_NEAR(vertices[0].tangent[0], 1.0f, 1e-5f);

    MeshData big;
    big.vertices.assign(70000, Vertex(1, 1, 0, 0, 0));
    for (uint32_t i = 0; i < 3; ++i) big.vertices[69997 + i] = Vertex(i + 0.5f, float(i * i + 2), 1.0f - 3.0f * i, float(i), 0);
    big.indices = {69997, 69998, 69999};
    ASSERT_TRUE(object.BuildMesh(big));
    EXPECT_EQ(object.BoxMin(), Vec4(0.5f, 1, -5, 1));  // the box spans every vertex
    EXPECT_EQ(object.BoxMax(), Vec4(2.5f, 6, 1, 1));
    ASSERT_NE(object.DeviceIndices(), nullptr);
    EXPECT_EQ(object.DeviceIndices()->Format(), IndexFormat::Index32);  // beyond 65535 vertices
    EXPECT_EQ(object.DeviceVertices()->Count(), 70000u);

    GraphicsDevice::SetCurrent(nullptr);
    ASSERT_TRUE(object.BuildMesh(Quad()));
    EXPECT_TRUE(object.HasMesh());
    EXPECT_EQ(object.DeviceVertices(), nullptr);  // kept in system memory only
    GraphicsDevice::SetCurrent(&device);
}

TEST_F(SceneObjectOnDevice, ACopyTakesBoxAndMeshButNoMaterial)
{
    Material material;
    SceneObject original;
    ASSERT_TRUE(original.BuildMesh(Quad()));
    original.SetOwner(&material);
    original.SetFrameStamp(3);
    const SceneObject copy(original);
    EXPECT_EQ(copy.Owner(), nullptr);
    EXPECT_EQ(copy.FrameStamp(), -1);
    EXPECT_EQ(copy.BoxMax(), original.BoxMax());
    ASSERT_NE(copy.DeviceVertices(), nullptr);
    EXPECT_NE(copy.DeviceVertices(), original.DeviceVertices());
    EXPECT_EQ(copy.Mesh().indices, original.Mesh().indices);
    EXPECT_EQ(material.users.Count(), 1u);
}

TEST_F(SceneObjectOnDevice, ObjectsJoinAndLeaveTheirMaterialsLists)
{
    Material first, second;
    {
        SceneObject object;
        object.SetOwner(&first);
        object.SetOwner(&first);
        EXPECT_EQ(first.users.Count(), 1u);
        object.SetOwner(&second);
        EXPECT_EQ(first.users.Count(), 0u);
        ASSERT_EQ(second.users.Count(), 1u);
        EXPECT_EQ(second.users.At(0), &object);
    }
    EXPECT_EQ(second.users.Count(), 0u);
    SceneObject survivor;
    {
        Material shortLived;
        survivor.SetOwner(&shortLived);
    }
    EXPECT_EQ(survivor.Owner(), nullptr);
}

}  // namespace
