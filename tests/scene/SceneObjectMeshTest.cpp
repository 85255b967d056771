#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "SceneTestSupport.h"
#include "engine/render/IndexBuffer.h"
#include "engine/render/NullDevice.h"
#include "engine/render/VertexBuffer.h"
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

void ExpectDirection(const float* actual, float x, float y, float z)
{
    EXPECT_NEAR(actual[0], x, 1e-5f);
    EXPECT_NEAR(actual[1], y, 1e-5f);
    EXPECT_NEAR(actual[2], z, 1e-5f);
}

TEST(MeshTangents, AQuadGetsTangentAlongUAndBinormalAlongV)
{
    MeshData quad = Quad();
    for (MeshVertex& vertex : quad.vertices) {
        vertex.tangent[0] = 7.0f;  // whatever the file held is replaced
        vertex.binormal[1] = -3.0f;
    }
    quad.ComputeTangents();
    for (const MeshVertex& vertex : quad.vertices) {
        ExpectDirection(vertex.tangent, 1, 0, 0);
        ExpectDirection(vertex.binormal, 0, 1, 0);
    }
}

TEST(MeshTangents, TangentsAreMadeOrthogonalToTheNormal)
{
    MeshData quad = Quad();
    // Normals tilted towards +x: the tangent loses its component along them and stays of unit length.
    for (MeshVertex& vertex : quad.vertices) {
        vertex.normal[0] = 0.6f;
        vertex.normal[2] = -0.8f;
    }
    quad.ComputeTangents();
    for (const MeshVertex& vertex : quad.vertices) {
        const float* t = vertex.tangent;
        const float* b = vertex.binormal;
        EXPECT_NEAR(t[0] * 0.6f - t[2] * 0.8f, 0.0f, 1e-5f);
        EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1.0f, 1e-5f);
        EXPECT_NEAR(b[0] * t[0] + b[1] * t[1] + b[2] * t[2], 0.0f, 1e-5f);
        ExpectDirection(t, 0.8f, 0.0f, 0.6f);
    }
}

TEST(MeshTangents, MirroredTextureCoordinatesTurnTheTangentAround)
{
    MeshData quad = Quad();
    for (MeshVertex& vertex : quad.vertices) vertex.texCoord[0] = 1.0f - vertex.texCoord[0];
    quad.ComputeTangents();
    ExpectDirection(quad.vertices[0].tangent, -1, 0, 0);
}

TEST(MeshTangents, DegenerateTextureCoordinatesStillGiveUnitDirections)
{
    MeshData quad = Quad();
    for (MeshVertex& vertex : quad.vertices) vertex.texCoord[0] = vertex.texCoord[1] = 0.5f;
    quad.ComputeTangents();
    for (const MeshVertex& vertex : quad.vertices) {
        const float* t = vertex.tangent;
        EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1.0f, 1e-5f);
        EXPECT_NEAR(t[2], 0.0f, 1e-5f);
    }
}

TEST(MeshBounds, TheBoxSpansThePositions)
{
    MeshData data = Quad();
    data.vertices[2].position[2] = -4.0f;
    data.vertices[3].position[1] = 9.0f;
    Vec4 low, high;
    data.ComputeBounds(low, high);
    EXPECT_EQ(low, Vec4(0, 0, -4, 1));
    EXPECT_EQ(high, Vec4(1, 9, 0, 1));
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
        const auto smallest = std::min_element(t.begin(), t.end()) - t.begin();
        std::rotate(t.begin(), t.begin() + smallest, t.end());
        triangles.push_back(t);
    }
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

MeshData Grid(int side)
{
    MeshData data;
    for (int y = 0; y <= side; ++y) {
        for (int x = 0; x <= side; ++x) data.vertices.push_back(Vertex(float(x), float(y), 0, float(x), float(y)));
    }
    std::vector<std::array<uint32_t, 3>> faces;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const uint32_t a = static_cast<uint32_t>(y * (side + 1) + x);
            faces.push_back({a, a + 1, a + static_cast<uint32_t>(side) + 2});
            faces.push_back({a, a + static_cast<uint32_t>(side) + 2, a + static_cast<uint32_t>(side) + 1});
        }
    }
    std::mt19937 random(7);
    std::shuffle(faces.begin(), faces.end(), random);
    for (const auto& face : faces) data.indices.insert(data.indices.end(), face.begin(), face.end());
    // A vertex no triangle uses keeps its place in the count.
    data.vertices.push_back(Vertex(99, 99, 99, 0, 0));
    return data;
}

TEST(MeshOptimisation, ReorderingKeepsEveryTriangleAndEveryVertex)
{
    MeshData data = Grid(20);
    const std::vector<Triangle> before = Triangles(data);
    const size_t vertexCount = data.vertices.size();
    data.OptimizeVertexCache();
    EXPECT_EQ(Triangles(data), before);
    EXPECT_EQ(data.vertices.size(), vertexCount);
    EXPECT_TRUE(data.IndicesValid());
}

TEST(MeshOptimisation, ReorderingLowersTheCacheMissesOfAShuffledGrid)
{
    auto misses = [](const MeshData& data) {
        std::vector<uint32_t> cache;
        int count = 0;
        for (uint32_t index : data.indices) {
            if (std::find(cache.begin(), cache.end(), index) != cache.end()) continue;
            ++count;
            cache.insert(cache.begin(), index);
            if (cache.size() > 16) cache.pop_back();
        }
        return count;
    };
    MeshData data = Grid(30);
    const int before = misses(data);
    data.OptimizeVertexCache();
    EXPECT_LT(misses(data), before * 3 / 4);
}

class SceneObjectOnDevice : public ::testing::Test {
protected:
    NullDevice device;
    ScopedCurrentDevice current{&device};
};

TEST_F(SceneObjectOnDevice, ANewObjectHasTheDefaultBoxAndNoMesh)
{
    const SceneObject object;
    EXPECT_EQ(object.BoxMin(), Vec4(-3, -3, -10, 1));
    EXPECT_EQ(object.BoxMax(), Vec4(3, 3, 10, 1));
    EXPECT_EQ(object.FrameStamp(), -1);
    EXPECT_EQ(object.Owner(), nullptr);
    EXPECT_FALSE(object.HasMesh());
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
    ExpectDirection(vertices[0].tangent, 1, 0, 0);
    EXPECT_EQ(object.BoxMax(), Vec4(1, 1, 0, 1));
}

TEST_F(SceneObjectOnDevice, MeshesBeyond65535VerticesGet32BitIndices)
{
    MeshData data;
    data.vertices.assign(70000, Vertex(0, 0, 0, 0, 0));
    for (uint32_t i = 0; i < 3; ++i) data.vertices[69997 + i] = Vertex(float(i), float(i * i), 1, float(i), 0);
    data.indices = {69997, 69998, 69999};
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(data));
    ASSERT_NE(object.DeviceIndices(), nullptr);
    EXPECT_EQ(object.DeviceIndices()->Format(), IndexFormat::Index32);
    EXPECT_EQ(object.DeviceVertices()->Count(), 70000u);
}

TEST_F(SceneObjectOnDevice, WithoutADeviceTheMeshStaysInSystemMemory)
{
    GraphicsDevice::SetCurrent(nullptr);
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(Quad()));
    EXPECT_TRUE(object.HasMesh());
    EXPECT_EQ(object.DeviceVertices(), nullptr);
    GraphicsDevice::SetCurrent(&device);
}

TEST_F(SceneObjectOnDevice, DrawsOnlyWithTheStampOfItsLastSubmission)
{
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(Quad()));
    const Matrix world = Matrix::Translation(1, 2, 3);
    object.Draw(world, -1);
    object.Draw(world, 0);
    EXPECT_TRUE(device.Draws().empty());
    object.SetFrameStamp(5);
    object.Draw(world, 4);
    EXPECT_TRUE(device.Draws().empty());
    object.Draw(world, 5);
    ASSERT_EQ(device.Draws().size(), 1u);
    EXPECT_TRUE(device.Draws()[0].indexed);
    EXPECT_EQ(device.Draws()[0].primitiveCount, 2u);
    EXPECT_TRUE(MatricesNear(device.GetTransform(TransformType::World), world));
}

TEST_F(SceneObjectOnDevice, TheBoxTestIsStrict)
{
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(Quad()));
    struct Case {
        Vec4 centre;
        float radius;
        bool touches;
    };
    const Case cases[] = {
        {{0.5f, 0.5f, 0.0f}, 0.001f, true},  {{3.0f, 0.5f, 0.0f}, 2.0f, false}, {{3.0f, 0.5f, 0.0f}, 2.01f, true},
        {{4.0f, 5.0f, 0.0f}, 5.0f, false},   {{4.0f, 5.0f, 0.0f}, 5.01f, true}, {{0.5f, 0.5f, -2.0f}, 1.5f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.centre.x << "," << c.centre.y << "," << c.centre.z << " r " << c.radius);
        EXPECT_EQ(object.BoxTouchesSphere(c.centre, c.radius), c.touches);
    }
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

TEST_F(SceneObjectOnDevice, RebuildingReleasesTheEarlierMesh)
{
    SceneObject object;
    ASSERT_TRUE(object.BuildMesh(Quad()));
    MeshData bad = Quad();
    bad.indices.push_back(0);
    EXPECT_FALSE(object.BuildMesh(bad));
    EXPECT_FALSE(object.HasMesh());
    EXPECT_EQ(object.DeviceVertices(), nullptr);
    EXPECT_EQ(object.BoxMin(), Vec4(-3, -3, -10, 1));
    EXPECT_EQ(object.BoxMax(), Vec4(3, 3, 10, 1));
}

}  // namespace
