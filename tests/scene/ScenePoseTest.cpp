#include <gtest/gtest.h>

#include <functional>

#include "SampleModels.h"
#include "SceneTestSupport.h"
#include "engine/device/NullDevice.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

class ScenePose : public ::testing::Test {
protected:
    ~ScenePose() override { TextureCache::Clear(); }

    void Load(const ModelFile& file) { ASSERT_TRUE(model.Load(dir.Write("m.3df", ModelWriter::Write(file)).c_str())); }

    NullDevice device;
    ScopedCurrentDevice current{&device};
    TempFolder dir{"scene"};
    SceneModel model;
    RecordingSink sink;
};

const Matrix kParent = Matrix::Translation(100, 0, 50);

TEST_F(ScenePose, AnimateObjectsRotatesThenMovesThenPlacesAndPlaceObjectsIgnoresTheTime)
{
    Load(FullModel());
    model.AnimateObjects(sink, kParent, 0.15f);
    ASSERT_EQ(sink.objects.size(), 2u);
    // The unanimated object stands at its placement.
    EXPECT_TRUE(MatricesNear(sink.objects[0].world, model.Objects().At(0).local * kParent));
    // Time 1.5: position (1.5, 0, 0), axis z, angle 0.15.
    Matrix expected;
    expected.Translate({1.5f, 0, 0, 1});
    expected.Rotate(0.15f, {0, 0, 1, 1});
    EXPECT_TRUE(MatricesNear(sink.objects[1].world, expected * kParent, 1e-4f));
    EXPECT_NEAR(model.Objects().At(1).positionTrack.x.Time(), 1.5f, 1e-5f);
    EXPECT_EQ(model.Objects().At(1).thirdTrack.x.Time(), 0.0f);

    sink.objects.clear();
    model.PlaceObjects(sink, kParent);
    ASSERT_EQ(sink.objects.size(), 2u);
    EXPECT_EQ(sink.objects[0].object, &model.Objects().At(0));
    EXPECT_EQ(sink.objects[1].object, &model.Objects().At(1));
    // Rotated about the object's origin, moved to its position, then placed by the parent.
    const Vec4 corner = sink.objects[0].world.Transform({1, 0, 0, 1});
    EXPECT_NEAR(corner.x, 110.0f, 1e-4f);
    EXPECT_NEAR(corner.z, 79.0f, 1e-4f);
    // The animated object stands at its loaded placement.
    EXPECT_TRUE(MatricesNear(sink.objects[1].world, Matrix::Translation(-1, -2, -3) * kParent));
}

TEST_F(ScenePose, EveryAnimatedObjectAdvancesOncePerCall)
{
    ModelFile file = FullModel();
    file.objects[0].animated = true;
    file.objects[0].keys = file.objects[1].keys;
    Load(file);
    model.AnimateObjects(sink, Matrix(), 0.1f);
    model.AnimateObjects(sink, Matrix(), 0.05f);
    for (uint32_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(model.Objects().At(i).positionTrack.x.Time(), 1.5f, 1e-5f) << "object " << i;
        EXPECT_NEAR(sink.objects[2 + i].world.Transform({0, 0, 0, 1}).x, 1.5f, 1e-4f) << "object " << i;
    }
}

TEST_F(ScenePose, AnimatedObjectsWithZeroAxesOrNoFramesAreOnlyTranslated)
{
    const struct { const char* name; std::function<void(ModelFile&)> change; Matrix local; } cases[] = {
        {"zero axis keys",
         [](ModelFile& file) {
             for (ObjectKey& key : file.objects[1].keys) key = {key.position, {0, 0, 0}, 1.0f, key.third};
         },
         Matrix::Translation(1, 0, 0)},
        {"no frames", [](ModelFile& file) { file.frameCount = 0; }, Matrix()},  // at the origin
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ModelFile file = FullModel();
        c.change(file);
        Load(file);
        sink.objects.clear();
        model.AnimateObjects(sink, kParent, 0.1f);
        EXPECT_TRUE(MatricesNear(sink.objects[1].world, c.local * kParent));
    }
}

TEST_F(ScenePose, PlaceLightsMovesPositionsByTheParentOnlyAndAnimateLightsEvaluatesTracks)
{
    Load(FullModel());
    model.PlaceLights(sink, Matrix::Scaling(2, 2, 2) * Matrix::Translation(1, 2, 3));
    ASSERT_EQ(sink.lights.size(), 2u);
    EXPECT_EQ(sink.lights[0], &model.Lights().At(0).light);
    EXPECT_EQ(sink.lights[0]->position, Vec4(1, 102, 3, 1));
    EXPECT_EQ(sink.lights[0]->colour, Vec4(1, 0.5f, 0.25f, 1));
    EXPECT_EQ(sink.lights[0]->radius, 100.0f);
    EXPECT_EQ(sink.lights[1]->position, Vec4(11, 12, 13, 1));
    EXPECT_EQ(sink.lights[1]->radius, 7.0f);

    sink.lights.clear();
    model.AnimateLights(sink, kParent, 0.05f);
    ASSERT_EQ(sink.lights.size(), 2u);
    const PointLight& flicker = *sink.lights[0];
    EXPECT_NEAR(flicker.position.x, 105.0f, 1e-4f);
    EXPECT_NEAR(flicker.position.z, 50.0f, 1e-4f);
    EXPECT_NEAR(flicker.colour.x, 0.5f, 1e-5f);
    EXPECT_NEAR(flicker.colour.y, 0.5f, 1e-5f);
    EXPECT_NEAR(flicker.radius, 15.0f, 1e-4f);
    EXPECT_EQ(sink.lights[1]->position, Vec4(105, 5, 55, 1));
    EXPECT_EQ(sink.lights[1]->colour, Vec4(0.2f, 0.2f, 0.2f, 1));
}

TEST_F(ScenePose, SelectCameraMatchesNamesExactlyAndFallsBackToTheFirst)
{
    ModelFile file = FullModel();
    file.cameras[1].animated = true;
    file.cameras[1].eyeKeys.assign(3, {7, 7, 7});
    file.cameras[1].targetKeys.assign(3, {0, 0, 0});
    file.cameras[1].fieldOfViewKeys.assign(3, 0.5f);
    Load(file);
    const struct { const char* name; float eyeX; } cases[] = {{"Camera01", 7.0f}, {"introCam", 0.0f}, {"camera01", 0.0f}, {"nobody", 0.0f}, {"", 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Aimed elsewhere first, so that only a real selection brings the eye to the case's x.
        sink.camera.SetLook({99, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1});
        model.SelectCamera(sink, Matrix(), c.name, 0.0f);
        EXPECT_EQ(sink.camera.Eye().x, c.eyeX);
    }
}

TEST_F(ScenePose, SelectCameraAimsThroughTheParentWithTheDisplayAspectAndAdvancesOnEveryCall)
{
    Load(FullModel());
    model.SelectCamera(sink, kParent, "introCam", 0.05f);
    EXPECT_LT(sink.camera.Eye().Distance(Vec4(100, 100, 55)), 1e-4f);
    EXPECT_NEAR(sink.camera.Target().z, 55.0f, 1e-4f);
    EXPECT_NEAR(sink.camera.FieldOfView(), 1.1f, 1e-5f);
    EXPECT_FLOAT_EQ(sink.camera.Aspect(), 16.0f / 9.0f);
    EXPECT_EQ(sink.camera.Up(), Vec4(0, 1, 0, 1));
    model.SelectCamera(sink, kParent, "introCam", 0.05f);  // twice in one frame advances twice
    EXPECT_NEAR(sink.camera.Eye().z, 60.0f, 1e-4f);
}

TEST_F(ScenePose, ModelsWithoutCamerasOrKeysLeaveTheCameraAsItWas)
{
    ModelFile file = FullModel();
    file.cameras[0].animated = false;
    Load(file);
    sink.camera.SetLook({1, 2, 3, 1}, {4, 5, 6, 1}, {0, 1, 0, 1});
    model.SelectCamera(sink, Matrix(), "introCam", 0.1f);
    EXPECT_EQ(sink.camera.Eye(), Vec4(1, 2, 3, 1));
    SceneModel empty;
    empty.SelectCamera(sink, Matrix(), "introCam", 0.1f);
    EXPECT_EQ(sink.camera.Eye(), Vec4(1, 2, 3, 1));
}

}  // namespace
