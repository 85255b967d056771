#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SampleModels.h"
#include "SceneTestSupport.h"
#include "engine/render/NullDevice.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/Texture.h"
#include "engine/scene/TextureCache.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

class ModelLoader : public ::testing::Test {
protected:
    ~ModelLoader() override
    {
        TextureCache::Clear();
        ModelCache::Clear();
    }

    std::string Save(const std::vector<uint8_t>& bytes, const std::string& name = "model.3df")
    {
        return dir.Write(name, bytes);
    }
    std::string Save(const ModelFile& model, const std::string& name = "model.3df")
    {
        return Save(ModelWriter::Write(model), name);
    }

    NullDevice device;
    ScopedCurrentDevice current{&device};
    TempDir dir;
};

void PutInt(std::vector<uint8_t>& bytes, size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); }

// Byte offsets of the counts in the file of the writer for a model without animation.
constexpr size_t kMaterialCountAt = ModelWriter::kHeaderSize;

TEST_F(ModelLoader, ReadsBackTheHeaderAndTheModelTracks)
{
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(FullModel()).c_str()));
    EXPECT_EQ(model.FirstSceneVector(), Vec4(1, 2, 3, 1));
    EXPECT_EQ(model.SecondSceneVector(), Vec4(4, 5, 6, 1));
    EXPECT_EQ(model.FrameCount(), 3);
    EXPECT_TRUE(model.Animated());
    ASSERT_EQ(model.ModelTrackFirst().KeyCount(), 3);
    EXPECT_EQ(model.ModelTrackFirst().Key(2), Vec4(3, 0, 0, 1));
    EXPECT_EQ(model.ModelTrackSecond().Key(1), Vec4(0, 2, 0, 1));
    EXPECT_EQ(model.ModelTrackFirst().x.Rate(), 10);
}

TEST_F(ModelLoader, ReadsBackMaterialsWithTheirTexturesFromTheCache)
{
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(FullModel()).c_str()));
    ASSERT_EQ(model.Materials().Count(), 3u);
    const Material& plain = model.Materials().At(0);
    const Material& mapped = model.Materials().At(1);
    const Material& sharing = model.Materials().At(2);
    EXPECT_EQ(plain.ambient, Vec4(0.1f, 0.2f, 0.3f, 1));
    EXPECT_EQ(plain.diffuse, Vec4(0.4f, 0.5f, 0.6f, 1));
    ASSERT_NE(plain.bumpMap, nullptr);
    EXPECT_EQ(plain.bumpMap->Name(), "bump_neutral.jpg");
    EXPECT_EQ(plain.texture, nullptr);
    EXPECT_FALSE(plain.alphaMask);
    EXPECT_FALSE(plain.glow);
    EXPECT_EQ(mapped.bumpMap->Name(), "hull_bump.tga");
    ASSERT_NE(mapped.texture, nullptr);
    EXPECT_EQ(mapped.texture->Name(), "hull.tga");
    EXPECT_TRUE(mapped.alphaMask);
    EXPECT_TRUE(mapped.glow);
    EXPECT_EQ(sharing.texture, mapped.texture);
    EXPECT_EQ(sharing.bumpMap, mapped.bumpMap);
    EXPECT_EQ(TextureCache::Get("hull.tga"), mapped.texture);
}

TEST_F(ModelLoader, ReadsBackObjectsWithPlacementMaterialAndMesh)
{
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(FullModel()).c_str()));
    ASSERT_EQ(model.Objects().Count(), 2u);
    const SceneObject& still = model.Objects().At(0);
    const SceneObject& moving = model.Objects().At(1);
    EXPECT_EQ(still.Owner(), &model.Materials().At(1));
    EXPECT_EQ(model.MaterialIndex(still), 1);
    ASSERT_EQ(model.Materials().At(1).users.Count(), 1u);
    EXPECT_EQ(model.Materials().At(1).users.At(0), &still);
    EXPECT_EQ(moving.Owner(), nullptr);
    EXPECT_EQ(model.MaterialIndex(moving), -1);
    EXPECT_EQ(still.Mesh().vertices.size(), 4u);
    EXPECT_EQ(still.Mesh().FaceCount(), 2u);
    EXPECT_EQ(still.BoxMin(), Vec4(0, 0, 0, 1));
    EXPECT_EQ(still.BoxMax(), Vec4(1, 1, 0, 1));
    EXPECT_EQ(moving.BoxMin(), Vec4(5, 0, 0, 1));
    EXPECT_EQ(still.FrameStamp(), -1);
    // Rotated a quarter turn about y first, then moved: (1, 0, 0) lands on (10, 20, 29).
    const Vec4 moved = still.local.Transform({1, 0, 0, 1});
    EXPECT_NEAR(moved.x, 10.0f, 1e-5f);
    EXPECT_NEAR(moved.y, 20.0f, 1e-5f);
    EXPECT_NEAR(moved.z, 29.0f, 1e-5f);
    EXPECT_FALSE(still.animated);
    EXPECT_EQ(still.positionTrack.KeyCount(), 0);
    EXPECT_TRUE(MatricesNear(moving.local, Matrix::Translation(-1, -2, -3)));
    ASSERT_TRUE(moving.animated);
    ASSERT_EQ(moving.positionTrack.KeyCount(), 3);
    EXPECT_EQ(moving.positionTrack.Key(2), Vec4(2, 0, 0, 1));
    EXPECT_EQ(moving.axisTrack.Key(1), Vec4(0, 0, 1, 1));
    EXPECT_FLOAT_EQ(moving.angleTrack.Key(2), 0.2f);
    EXPECT_EQ(moving.thirdTrack.Key(0), Vec4(9, 9, 9, 1));
    EXPECT_EQ(moving.angleTrack.Rate(), 10);
}

TEST_F(ModelLoader, ReadsBackLightsAndCameras)
{
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(FullModel()).c_str()));
    ASSERT_EQ(model.Lights().Count(), 2u);
    const SceneLight& flicker = model.Lights().At(0);
    EXPECT_EQ(flicker.fileColour, Vec4(1, 0.5f, 0.25f, 1));
    EXPECT_EQ(flicker.filePosition, Vec4(0, 50, 0, 1));
    EXPECT_EQ(flicker.fileRadius, 100.0f);
    ASSERT_TRUE(flicker.animated);
    EXPECT_EQ(flicker.colourTrack.Key(1), Vec4(0, 1, 0, 1));
    EXPECT_EQ(flicker.positionTrack.Key(2), Vec4(20, 0, 0, 1));
    EXPECT_EQ(flicker.radiusTrack.Key(2), 30.0f);
    EXPECT_FALSE(model.Lights().At(1).animated);
    EXPECT_EQ(model.Lights().At(1).radiusTrack.KeyCount(), 0);

    ASSERT_EQ(model.Cameras().Count(), 2u);
    const SceneCamera& intro = model.Cameras().At(0);
    EXPECT_STREQ(intro.name, "introCam");
    EXPECT_EQ(intro.staticFirst, Vec4(1, 1, 1, 1));
    EXPECT_EQ(intro.staticSecond, Vec4(2, 2, 2, 1));
    EXPECT_EQ(intro.staticValue, 0.75f);
    ASSERT_TRUE(intro.animated);
    EXPECT_EQ(intro.eyeTrack.Key(1), Vec4(0, 100, 10, 1));
    EXPECT_EQ(intro.targetTrack.Key(2), Vec4(0, 0, 20, 1));
    EXPECT_FLOAT_EQ(intro.fieldOfViewTrack.Key(1), 1.2f);
    EXPECT_STREQ(model.Cameras().At(1).name, "Camera01");
    EXPECT_FALSE(model.Cameras().At(1).animated);
}

TEST_F(ModelLoader, AHeaderWithFourZeroCountsGivesAnEmptyModel)
{
    const std::vector<uint8_t> bytes = ModelWriter::Write(EmptyModel());
    ASSERT_EQ(bytes.size(), ModelWriter::kHeaderSize + 16u);
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(bytes).c_str()));
    EXPECT_EQ(model.Materials().Count(), 0u);
    EXPECT_EQ(model.Objects().Count(), 0u);
    EXPECT_EQ(model.Lights().Count(), 0u);
    EXPECT_EQ(model.Cameras().Count(), 0u);
}

TEST_F(ModelLoader, TheTwoBytesAfterTheHeaderAreReadAgainAsTheFirstCount)
{
    ModelFile file = EmptyModel();
    file.materials.resize(1);
    std::vector<uint8_t> bytes = ModelWriter::Write(file);
    // A count of 0x00010001 is read as 65537 if the bytes at 294 and 295 are skipped: the
    // file then cannot hold its materials.
    PutInt(bytes, kMaterialCountAt, 1);
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(bytes).c_str()));
    EXPECT_EQ(model.Materials().Count(), 1u);
}

TEST_F(ModelLoader, UnanimatedLightsAndCamerasHaveNoKeysEvenWithFrames)
{
    ModelFile file = FullModel();
    file.lights[0].animated = false;
    file.cameras[0].animated = false;
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(file).c_str()));
    ASSERT_EQ(model.Lights().Count(), 2u);
    EXPECT_EQ(model.Lights().At(1).fileRadius, 7.0f);
    ASSERT_EQ(model.Cameras().Count(), 2u);
    EXPECT_STREQ(model.Cameras().At(1).name, "Camera01");
}

TEST_F(ModelLoader, WrongMagicOrVersionIsRejectedWithTheMessage)
{
    struct Case {
        const char* name;
        size_t offset;
        int32_t value;
    };
    const Case cases[] = {{"version 109", 4, 109}, {"version 111", 4, 111}, {"magic", 0, 0x46443346 + 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = ModelWriter::Write(FullModel());
        PutInt(bytes, c.offset, c.value);
        SceneModel model;
        LogCapture log;
        EXPECT_FALSE(model.Load(Save(bytes).c_str()));
        EXPECT_TRUE(log.Contains("Cannot recognize file. Please, resave it"));
        EXPECT_TRUE(log.Contains("File name: "));
        EXPECT_EQ(model.Objects().Count(), 0u);
        EXPECT_EQ(model.Materials().Count(), 0u);
        EXPECT_EQ(model.FrameCount(), 0);
    }
}

TEST_F(ModelLoader, AMissingFileFailsTheLoad)
{
    SceneModel model;
    EXPECT_FALSE(model.Load(dir.File("absent.3df").c_str()));
    EXPECT_EQ(model.Objects().Count(), 0u);
}

TEST_F(ModelLoader, NegativeCountsReadAsEmptyLists)
{
    std::vector<uint8_t> bytes = ModelWriter::Write(EmptyModel());
    for (int list = 0; list < 4; ++list) PutInt(bytes, kMaterialCountAt + 4 * list, -5 - list);
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(bytes).c_str()));
    EXPECT_EQ(model.Materials().Count() + model.Objects().Count() + model.Lights().Count() + model.Cameras().Count(), 0u);
}

TEST_F(ModelLoader, TrailingBytesAreIgnored)
{
    std::vector<uint8_t> bytes = ModelWriter::Write(FullModel());
    bytes.insert(bytes.end(), 1000, 0xAB);
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(bytes).c_str()));
    EXPECT_EQ(model.Cameras().Count(), 2u);
}

TEST_F(ModelLoader, EveryTruncationFailsCleanlyAndAddsNothing)
{
    const std::vector<uint8_t> bytes = ModelWriter::Write(FullModel());
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        const std::string path = Save(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(size)));
        SceneModel model;
        ASSERT_FALSE(model.Load(path.c_str()));
        ASSERT_EQ(model.Objects().Count(), 0u);
        ASSERT_EQ(model.Materials().Count(), 0u);
        ASSERT_EQ(model.Lights().Count(), 0u);
        ASSERT_EQ(model.Cameras().Count(), 0u);
        ASSERT_EQ(model.FrameCount(), 0);
        ASSERT_EQ(model.ModelTrackFirst().KeyCount(), 0);
    }
}

TEST_F(ModelLoader, CountsTheFileCannotHoldFailTheLoadWithoutGiantAllocations)
{
    const std::vector<uint8_t> still = ModelWriter::Write(EmptyModel());
    ModelFile oneObject = EmptyModel();
    oneObject.objects.push_back(QuadObject(-1, 0));
    const std::vector<uint8_t> withObject = ModelWriter::Write(oneObject);
    const size_t objectAt = kMaterialCountAt + 8;  // the object block after both counts
    ModelFile animated = FullModel();
    const std::vector<uint8_t> full = ModelWriter::Write(animated);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t offset;
        int32_t value;
    };
    const Case cases[] = {
        {"material count", still, kMaterialCountAt, 0x7FFFFFFF},
        {"object count", still, kMaterialCountAt + 4, 40000000},
        {"light count", still, kMaterialCountAt + 8, 0x7FFFFFFF},
        {"camera count", still, kMaterialCountAt + 12, 0x01000000},
        {"vertex count", withObject, objectAt + 4, 0x7FFFFFFF},
        {"index count", withObject, objectAt + 8, 0x7FFFFFF0},
        {"frame count of an animated file", full, 288, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = c.bytes;
        PutInt(bytes, c.offset, c.value);
        SceneModel model;
        EXPECT_FALSE(model.Load(Save(bytes).c_str()));
        EXPECT_EQ(model.Objects().Count(), 0u);
        EXPECT_EQ(model.Materials().Count(), 0u);
    }
}

TEST_F(ModelLoader, MaterialIndicesOutsideTheListLeaveTheObjectWithoutMaterial)
{
    struct Case {
        int32_t index;
        int32_t expected;
        bool logged;
    };
    const Case cases[] = {{-1, -1, false}, {0, 0, false}, {1, 1, false}, {2, -1, true}, {-2, -1, true}, {INT32_MIN, -1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        ModelFile file = EmptyModel();
        file.materials.resize(2);
        file.objects.push_back(QuadObject(c.index, 0));
        SceneModel model;
        LogCapture log;
        ASSERT_TRUE(model.Load(Save(file).c_str()));
        EXPECT_EQ(model.MaterialIndex(model.Objects().At(0)), c.expected);
        EXPECT_EQ(log.Contains("drawn with none"), c.logged);
        uint32_t users = 0;
        for (const Material& material : model.Materials()) users += material.users.Count();
        EXPECT_EQ(users, c.expected == -1 ? 0u : 1u);
    }
}

TEST_F(ModelLoader, BadMeshBlocksLeaveTheirObjectWithoutMeshAndTheLoadGoesOn)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> indices;
    };
    const Case cases[] = {{"index count not a multiple of three", {0, 1, 2, 0}},
                          {"index naming no vertex", {0, 1, 4}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelFile file = EmptyModel();
        file.objects.push_back(QuadObject(-1, 0));
        file.objects[0].indices = c.indices;
        file.objects.push_back(QuadObject(-1, 3));
        file.lights.resize(1);
        SceneModel model;
        ASSERT_TRUE(model.Load(Save(file).c_str()));
        ASSERT_EQ(model.Objects().Count(), 2u);
        EXPECT_FALSE(model.Objects().At(0).HasMesh());
        EXPECT_EQ(model.Objects().At(0).DeviceVertices(), nullptr);
        EXPECT_EQ(model.Objects().At(0).BoxMin(), Vec4(-3, -3, -10, 1));
        EXPECT_TRUE(model.Objects().At(1).HasMesh());
        EXPECT_EQ(model.Lights().Count(), 1u);
    }
}

TEST_F(ModelLoader, AMeshOfThirtySixIndicesReportsTwelveFaces)
{
    ModelFile file = EmptyModel();
    ModelFileObject cube = QuadObject(-1, 0);
    cube.indices.clear();
    for (int face = 0; face < 12; ++face) cube.indices.insert(cube.indices.end(), {0, 1, 2});
    file.objects.push_back(cube);
    SceneModel model;
    LogCapture log;
    ASSERT_TRUE(model.Load(Save(file).c_str()));
    EXPECT_TRUE(log.Contains("mesh load:"));
    EXPECT_TRUE(log.Contains("\tvertices: 4"));
    EXPECT_TRUE(log.Contains("\tfaces: 12"));
    EXPECT_EQ(model.Objects().At(0).Mesh().FaceCount(), 12u);
}

TEST_F(ModelLoader, LoadEmptiesObjectsAndMaterialsButAppendsLightsAndCameras)
{
    const std::string path = Save(FullModel());
    SceneModel model;
    ASSERT_TRUE(model.Load(path.c_str()));
    ASSERT_TRUE(model.Load(path.c_str()));
    EXPECT_EQ(model.Materials().Count(), 3u);
    EXPECT_EQ(model.Objects().Count(), 2u);
    EXPECT_EQ(model.Lights().Count(), 4u);
    EXPECT_EQ(model.Cameras().Count(), 4u);
    model.Clear();
    EXPECT_EQ(model.Lights().Count() + model.Cameras().Count() + model.Objects().Count() + model.Materials().Count(), 0u);
    EXPECT_EQ(model.FrameCount(), 0);
    EXPECT_FALSE(model.Animated());
    EXPECT_EQ(model.ModelTrackFirst().KeyCount(), 0);
}

TEST_F(ModelLoader, ManyObjectsKeepTheirMaterialLinksWhileTheListGrows)
{
    ModelFile file = EmptyModel();
    file.materials.resize(1);
    for (int i = 0; i < 45; ++i) file.objects.push_back(QuadObject(0, static_cast<float>(i)));
    SceneModel model;
    ASSERT_TRUE(model.Load(Save(file).c_str()));
    const Material& material = model.Materials().At(0);
    ASSERT_EQ(material.users.Count(), 45u);
    for (uint32_t i = 0; i < 45; ++i) EXPECT_EQ(material.users.At(i), &model.Objects().At(i));
}

TEST_F(ModelLoader, TheCacheSharesOneModelPerExactName)
{
    const std::string path = Save(FullModel(), "defender.3DF");
    SceneModel* first = ModelCache::Get(path.c_str());
    EXPECT_EQ(ModelCache::Get(path.c_str()), first);
    EXPECT_EQ(first->Objects().Count(), 2u);
    std::string otherCase = path;
    otherCase.replace(otherCase.size() - 3, 3, "3df");
    SceneModel* missing = ModelCache::Get(otherCase.c_str());
    EXPECT_NE(missing, first);
    EXPECT_EQ(missing->Objects().Count(), 0u);
    // The failed name keeps its empty model even once a file appears under it.
    Save(FullModel(), "defender.3df");
    EXPECT_EQ(ModelCache::Get(otherCase.c_str()), missing);
    EXPECT_EQ(missing->Objects().Count(), 0u);
    EXPECT_EQ(ModelCache::Count(), 2u);
    ModelCache::Clear();
    EXPECT_EQ(ModelCache::Count(), 0u);
    EXPECT_EQ(ModelCache::Get(otherCase.c_str())->Objects().Count(), 2u);
}

}  // namespace
