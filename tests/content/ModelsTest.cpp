#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "engine/device/NullDevice.h"
#include "engine/platform/ResourceFile.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/SceneSink.h"
#include "engine/scene/TextureCache.h"
#include "game/world/ScriptReader.h"
#include "tests/content/ContentSupport.h"

// The game's models and level as the game loads them out of the archive, on the null device.
using content::ArchivePathName;
using content::Entry;

namespace {

// Records what a model hands the renderer.
class RecordingSink : public SceneSink {
public:
    struct Placed { const SceneObject* object; Matrix world; };
    void AddObject(SceneObject& object, const Matrix& world) override { placed.push_back({&object, world}); }
    void AddLight(PointLight* light) override { lights.push_back(*light); }
    Camera& GetCamera() override { return camera; }
    float DisplayAspect() const override { return 4.0f / 3.0f; }

    std::vector<Placed> placed;
    std::vector<PointLight> lights;
    Camera camera;
};

// The smallest box around the points added.
struct Box {
    Vec4 lo{1e30f, 1e30f, 1e30f};
    Vec4 hi{-1e30f, -1e30f, -1e30f};
    void Add(const Vec4& p)
    {
        lo = Vec4(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = Vec4(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
};

// Around an object's vertices moved by world.
Box WorldBox(const SceneObject& object, const Matrix& world)
{
    Box box;
    for (const MeshVertex& v : object.Mesh().vertices) box.Add(world.Transform(Vec4(v.position[0], v.position[1], v.position[2])));
    return box;
}

// Around everything the sink was handed.
Box PoseBox(const RecordingSink& sink)
{
    Box box;
    for (const auto& placed : sink.placed) {
        const Box b = WorldBox(*placed.object, placed.world);
        box.Add(b.lo);
        box.Add(b.hi);
    }
    return box;
}

class ContentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(ArchivePathName())) << "the build makes data.qzr first";
        ArchivePath = ArchivePathName().c_str();
    }
    void TearDown() override
    {
        TextureCache::Clear();
        ArchivePath = nullptr;
    }
    std::unique_ptr<SceneModel> Load(const char* name)
    {
        auto model = std::make_unique<SceneModel>();
        EXPECT_TRUE(model->Load(name)) << name;
        return model;
    }

    NullDevice device_;
    ScopedCurrentDevice current_{&device_};
};

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
    EXPECT_LT(camera.Eye().Distance(Vec4(0, 280, -1)), 1e-3f);
    EXPECT_LT(camera.Target().Distance(Vec4(0, 80, 0)), 1e-3f);
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
        const Box pose = PoseBox(sink);
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
        const Box b = WorldBox(*placed.object, placed.world);
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


constexpr float kPlayPlaneClearance = -5.0f;   // the scenery stays below this
constexpr float kCreditsRun = 700.0f;          // scenery past the end trigger
constexpr float kViewDepth = 141.0f;           // z seen either side of the scroll point at the ground
constexpr uint32_t kTrianglesInView = 10000;

// One entity of the script as the game would read it.
struct Entity {
    std::string type;
    float x = 0.0f, z = 0.0f;
    bool wave = false;
    float amplitude = 30.0f;  // the sentinel's default
    float speed = 1.0f;
};

// The keywords of each entity and how many values each takes: numbers, but True or False for "wave".
const std::map<std::string, std::map<std::string, int>> kKeywords = {
    {"Sentinel", {{"position", 2}, {"wave", 1}, {"phase", 1}, {"speed", 1}, {"amplitude", 1}, {"movespeed", 1}}},
    {"DefenderN1", {{"position", 2}}}, {"BossN1", {{"position", 2}}}, {"Door", {{"position", 2}}}, {"End", {{"position", 2}}}};

bool IsNumber(const char* token)
{
    char* end = nullptr;
    std::strtof(token, &end);
    return end != token && *end == '\0' && std::strpbrk(token, "xXnN") == nullptr;
}

// Reads the script; every problem the game would report (or silently misread) becomes an error.
std::vector<Entity> ReadScript(const std::vector<uint8_t>& text, std::vector<std::string>& errors)
{
    ScriptReader reader;
    reader.OpenText(reinterpret_cast<const char*>(text.data()), text.size());
    std::vector<Entity> entities;
    while (const char* type = reader.NextEntity()) {
        const auto known = kKeywords.find(type);
        if (known == kKeywords.end()) {
            errors.push_back(std::string("no such entity: \"") + type + "\"");
            continue;
        }
        Entity entity{type};
        while (const char* keyword = reader.NextToken()) {
            const auto args = known->second.find(keyword);
            if (args == known->second.end()) {
                errors.push_back(entity.type + " has no keyword " + keyword);
                continue;
            }
            const std::string k = keyword;
            std::vector<std::string> values;
            for (int i = 0; i < args->second; ++i) {
                const char* token = reader.NextToken();
                const std::string value = token ? token : "";
                const bool fits = token != nullptr && (k == "wave" ? value == "True" || value == "False" : IsNumber(token));
                if (!fits) errors.push_back(entity.type + " " + k + " needs another value than " + (token ? value : "nothing"));
                values.push_back(value);
            }
            auto number = [&](size_t i) { return std::strtof(values[i].c_str(), nullptr); };
            if (k == "position") entity.x = number(0), entity.z = number(1);
            if (k == "wave") entity.wave = values[0] == "True";
            if (k == "amplitude") entity.amplitude = number(0);
            if (k == "speed") entity.speed = number(0);
        }
        entities.push_back(entity);
    }
    return entities;
}

class Level : public ContentTest {
protected:
    void SetUp() override
    {
        ContentTest::SetUp();
        level_ = Load("level.3df");
        level_->PlaceObjects(placed_, Matrix());
        level_->PlaceLights(placed_, Matrix());
        scenery_ = PoseBox(placed_);
        entities_ = ReadScript(Entry("teste.lvl"), scriptErrors_);
    }

    const Entity* Find(const char* type) const
    {
        for (const Entity& e : entities_)
            if (e.type == type) return &e;
        return nullptr;
    }

    std::unique_ptr<SceneModel> level_;
    RecordingSink placed_;
    Box scenery_;
    std::vector<Entity> entities_;
    std::vector<std::string> scriptErrors_;
};

TEST_F(Level, SceneryLiesBelowThePlayPlaneInShortChunksFromBeforeTheStartToPastTheCredits)
{
    uint32_t triangles = 0;
    for (const auto& p : placed_.placed) {
        const Box b = WorldBox(*p.object, p.world);
        triangles += p.object->Mesh().FaceCount();
        EXPECT_LT(b.hi.y, kPlayPlaneClearance);
        EXPECT_LE(b.hi.z - b.lo.z, 240.0f) << "a chunk should be about 200 units long";
    }
    EXPECT_GE(triangles, 30000u);
    EXPECT_LE(triangles, 60000u);
    // The title screen moves the animated parts: they stay below the plane all the way round.
    for (int step = 0; step < 8; ++step) {
        RecordingSink sink;
        level_->AnimateObjects(sink, Matrix(), 6.0f);
        EXPECT_LT(PoseBox(sink).hi.y, kPlayPlaneClearance);
    }
    const Entity* end = Find("End");
    ASSERT_NE(end, nullptr);
    EXPECT_LE(scenery_.lo.z, -200.0f);
    EXPECT_GE(scenery_.hi.z, end->z + kCreditsRun);
}

TEST_F(Level, NoViewOfTheTrackHoldsMoreThan10000Triangles)
{
    for (float scroll = 0.0f; scroll < scenery_.hi.z; scroll += 20.0f) {
        uint32_t inView = 0;
        for (const auto& p : placed_.placed) {
            const Box b = WorldBox(*p.object, p.world);
            if (b.hi.z > scroll - kViewDepth && b.lo.z < scroll + kViewDepth) inView += p.object->Mesh().FaceCount();
        }
        EXPECT_LE(inView, kTrianglesInView) << "at z " << scroll;
    }
}

TEST_F(Level, LightsLineTheTrackAndFewTouchAnyChunk)
{
    std::vector<PointLight> lights = placed_.lights;
    ASSERT_GE(lights.size(), 10u);
    std::sort(lights.begin(), lights.end(), [](const PointLight& a, const PointLight& b) { return a.position.z < b.position.z; });
    for (size_t i = 0; i < lights.size(); ++i) {
        EXPECT_GE(lights[i].radius, 150.0f);
        EXPECT_LE(lights[i].radius, 300.0f);
        if (i > 0) {
            EXPECT_LE(lights[i].position.z - lights[i - 1].position.z, 250.0f) << "a dark stretch before z " << lights[i].position.z;
        }
    }
    int animated = 0;
    for (const SceneLight& light : level_->Lights()) animated += light.animated ? 1 : 0;
    EXPECT_GE(animated, 3) << "the title screen moves and pulses some lights";
    for (const auto& p : placed_.placed) {
        if (p.object->animated) continue;
        int touching = 0;
        for (const PointLight& light : lights) touching += p.object->BoxTouchesSphere(light.position, light.radius) ? 1 : 0;
        EXPECT_LE(touching, 4) << "the renderer draws a chunk once per light";
    }
}

TEST_F(Level, IntroCameraFliesASeamlessLoopOfAtLeast30Seconds)
{
    const SceneCamera* intro = nullptr;
    for (const SceneCamera& camera : level_->Cameras())
        if (camera.IsNamed("introCam")) intro = &camera;
    ASSERT_NE(intro, nullptr);
    ASSERT_TRUE(intro->animated);
    const int32_t keys = intro->eyeTrack.KeyCount();
    EXPECT_GE(keys, 301);
    EXPECT_EQ(keys, level_->FrameCount());
    EXPECT_LT(intro->eyeTrack.Key(0).Distance(intro->eyeTrack.Key(keys - 1)), 1e-3f);
    EXPECT_LT(intro->targetTrack.Key(0).Distance(intro->targetTrack.Key(keys - 1)), 1e-3f);
    // It flies: the eye travels, and never looks straight down its up axis.
    EXPECT_GT(intro->eyeTrack.Key(0).Distance(intro->eyeTrack.Key(keys / 2)), 100.0f);
    for (int32_t k = 0; k < keys; ++k) {
        const Vec4 look = intro->targetTrack.Key(k) - intro->eyeTrack.Key(k);
        EXPECT_GT(std::hypot(look.x, look.z), 1.0f);
    }
}

TEST_F(Level, ScriptParsesWithoutErrorsAndEveryEntityLiesWithinTheScenery)
{
    for (const std::string& error : scriptErrors_) ADD_FAILURE() << error;
    std::map<std::string, int> counts;
    for (const Entity& e : entities_) {
        ++counts[e.type];
        SCOPED_TRACE(e.type + " at z " + std::to_string(e.z));
        const float swing = e.wave ? std::fabs(e.amplitude) : 0.0f;
        EXPECT_LE(std::fabs(e.x) + swing, 110.0f) << "out of the ship's reach";
        EXPECT_GE(e.z, 0.0f);
        EXPECT_LE(e.z + 100.0f, scenery_.hi.z);
        if (e.type == "Sentinel") {
            EXPECT_NE(e.speed, 0.0f);
        }
    }
    EXPECT_EQ(counts["Door"], 2);
    EXPECT_EQ(counts["BossN1"], 1);
    EXPECT_EQ(counts["End"], 1);
    EXPECT_GE(counts["Sentinel"], 20);
    EXPECT_GE(counts["DefenderN1"], 10);
    const Entity* boss = Find("BossN1");
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(boss->x, 0.0f) << "the ship's camera is always at x 0, where the boss's camera hands over";
}

TEST_F(Level, EachDoorStandsInAGapOfTheScenery)
{
    int doors = 0;
    for (const Entity& door : entities_) {
        if (door.type != "Door") continue;
        ++doors;
        // The halves slide out to x ±300 between y −46 and 10, a few units either side of the door.
        for (const auto& p : placed_.placed) {
            for (const MeshVertex& v : p.object->Mesh().vertices) {
                const Vec4 q = p.world.Transform(Vec4(v.position[0], v.position[1], v.position[2]));
                const bool inSlot = std::fabs(q.x - door.x) < 300.0f && q.y > -46.0f && std::fabs(q.z - door.z) < 3.0f;
                ASSERT_FALSE(inSlot) << "scenery at (" << q.x << ", " << q.y << ", " << q.z << ") blocks the door at z " << door.z;
            }
        }
    }
    EXPECT_EQ(doors, 2);
}

}  // namespace
