#include <cmath>

#include "tests/content/ContentSupport.h"

namespace {

using content::Box;
using content::ContentTest;
using content::RecordingSink;

constexpr float kKeysPerSecond = 10.0f;

struct ModelCase {
    const char* name;
    float radius;  // every vertex within this of the origin; 0: not limited
    uint32_t minTriangles;
    uint32_t maxTriangles;
    const char* camera;  // an animated camera the game looks through, or null
    int32_t minFrames;
};

const ModelCase kModels[] = {
    {"main_ship.3df", 10.0f, 1000, 3000, nullptr, 0},
    {"defender.3DF", 7.0f, 500, 2000, nullptr, 0},
    {"nave.3df", 5.0f, 500, 2000, nullptr, 0},
    {"Boss.3df", 0.0f, 1000, 12000, "Camera01", 85},
    {"door.3df", 0.0f, 200, 6000, nullptr, 31},
};

class Models : public ContentTest {};

TEST_F(Models, LoadWithTheirObjectsCamerasKeysAndSizes)
{
    for (const ModelCase& c : kModels) {
        SCOPED_TRACE(c.name);
        const auto model = Load(c.name);
        ASSERT_GT(model->Objects().Count(), 0u);
        uint32_t triangles = 0;
        float farthest = 0.0f;
        for (const SceneObject& object : model->Objects()) {
            EXPECT_TRUE(object.HasMesh());
            EXPECT_NE(model->MaterialIndex(object), -1);
            triangles += object.Mesh().FaceCount();
            for (const MeshVertex& v : object.Mesh().vertices) farthest = std::max(farthest, std::hypot(v.position[0], v.position[1], v.position[2]));
        }
        EXPECT_GE(triangles, c.minTriangles);
        EXPECT_LE(triangles, c.maxTriangles);
        if (c.radius > 0.0f) {
            EXPECT_LE(farthest, c.radius);
        }
        EXPECT_GE(model->FrameCount(), c.minFrames);
        if (c.camera != nullptr) {
            bool found = false;
            for (const SceneCamera& camera : model->Cameras()) found = found || (camera.IsNamed(c.camera) && camera.animated);
            EXPECT_TRUE(found) << c.camera;
        }
    }
}

TEST_F(Models, BossCameraHandsOverAtTheShipCameraPoseAt7_9Seconds)
{
    const auto boss = Load("Boss.3df");
    RecordingSink sink;
    boss->SelectCamera(sink, Matrix(), "Camera01", 7.9f);
    const Camera& camera = sink.camera;
    EXPECT_NEAR(camera.Eye().x, 0.0f, 1e-3f);
    EXPECT_NEAR(camera.Eye().y, 280.0f, 1e-3f);
    EXPECT_NEAR(camera.Eye().z, -1.0f, 1e-3f);
    EXPECT_NEAR(camera.Target().x, 0.0f, 1e-3f);
    EXPECT_NEAR(camera.Target().y, 80.0f, 1e-3f);
    EXPECT_NEAR(camera.Target().z, 0.0f, 1e-3f);
    EXPECT_NEAR(camera.FieldOfView(), std::acos(-1.0f) * 0.25f, 1e-4f);
    // Earlier it is somewhere else: the sweep has not ended yet.
    const auto fresh = Load("Boss.3df");
    fresh->SelectCamera(sink, Matrix(), "Camera01", 3.0f);
    EXPECT_GT(camera.Eye().Distance(Vec4(0, 280, -1)), 50.0f);
}

TEST_F(Models, BossStaysUnderThePlayPlaneAndHoldsItsFightPoseFrom7_9Seconds)
{
    const auto boss = Load("Boss.3df");
    const float step = 1.0f / kKeysPerSecond;
    Box fightPose, first;
    for (int key = 0; key <= 84; ++key) {
        RecordingSink sink;
        boss->AnimateObjects(sink, Matrix(), key == 0 ? 0.0f : step);
        const Box pose = content::PoseBox(sink);
        SCOPED_TRACE(key);
        EXPECT_LT(pose.hi.y, 75.0f);
        const float across = std::max(pose.hi.x - pose.lo.x, pose.hi.z - pose.lo.z);
        EXPECT_GE(across, 60.0f);
        EXPECT_LE(across, 100.0f);
        if (key == 0) first = pose;
        if (key == 79) fightPose = pose;
        if (key > 79) {
            EXPECT_NEAR(pose.hi.y, fightPose.hi.y, 1e-3f);
            EXPECT_NEAR(pose.lo.x, fightPose.lo.x, 1e-3f);
        }
    }
    EXPECT_GT(std::fabs(first.hi.y - fightPose.hi.y) + std::fabs(first.lo.x - fightPose.lo.x), 1.0f) << "the intro moves the boss";
}

// Whether a moving part of the door stands in the ship's way: |x| up to 110 at the play plane.
bool Blocks(const RecordingSink& sink)
{
    for (const auto& placed : sink.placed) {
        if (!placed.object->animated) continue;
        const Box b = content::WorldBox(*placed.object, placed.world);
        if (b.lo.x < 110.0f && b.hi.x > -110.0f && b.lo.y < 5.0f && b.hi.y > -5.0f && b.lo.z < 20.0f && b.hi.z > -20.0f) return true;
    }
    return false;
}

TEST_F(Models, DoorIsClosedAtRestAndOpenFrom2_6Seconds)
{
    const struct { float seconds; bool open; } kCases[] = {{0.0f, false}, {1.0f, false}, {2.6f, true}, {2.8f, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.seconds);
        const auto door = Load("door.3df");
        EXPECT_EQ(door->FrameCount(), 31) << "a 3.0 s track: shorter would loop back to closed within the game's 2.8 s";
        RecordingSink sink;
        door->AnimateObjects(sink, Matrix(), c.seconds);
        EXPECT_EQ(Blocks(sink), !c.open);
    }
}

}  // namespace
