#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SampleModels.h"
#include "SceneTestSupport.h"
#include "engine/device/NullDevice.h"
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
    std::string Save(const std::vector<uint8_t>& bytes) { return dir.Write("model.3df", bytes); }
    std::string Save(const ModelFile& file) { return Save(ModelWriter::Write(file)); }
    // True when nothing at all was kept.
    static bool Empty(const SceneModel& loaded)
    {
        return loaded.Materials().Count() + loaded.Objects().Count() + loaded.Lights().Count() + loaded.Cameras().Count() == 0 &&
               loaded.FrameCount() == 0 && loaded.ModelTrackFirst().KeyCount() == 0;
    }

    NullDevice device;
    ScopedCurrentDevice current{&device};
    TempFolder dir{"scene"};
    SceneModel model;
};

std::vector<uint8_t> WithInt(std::vector<uint8_t> bytes, size_t offset, int32_t value)
{
    std::memcpy(&bytes[offset], &value, 4);
    return bytes;
}

// Byte offset of the material count, the first of the four list counts.
constexpr size_t kMaterialCountAt = ModelWriter::kHeaderSize;

TEST_F(ModelLoader, ReadsBackTheHeaderTracksMaterialsObjectLinksAndCameras)
{
    ASSERT_TRUE(model.Load(Save(FullModel()).c_str()));
    EXPECT_EQ(model.FirstSceneVector(), Vec4(1, 2, 3, 1));
    EXPECT_EQ(model.SecondSceneVector(), Vec4(4, 5, 6, 1));
    EXPECT_EQ(model.FrameCount(), 3);
    EXPECT_TRUE(model.Animated());
    ASSERT_EQ(model.ModelTrackFirst().KeyCount(), 3);
    EXPECT_EQ(model.ModelTrackFirst().Key(2), Vec4(3, 0, 0, 1));
    EXPECT_EQ(model.ModelTrackSecond().Key(1), Vec4(0, 2, 0, 1));
    EXPECT_EQ(model.ModelTrackFirst().x.Rate(), 10);

    ASSERT_EQ(model.Materials().Count(), 3u);
    const Material& plain = model.Materials().At(0);
    const Material& mapped = model.Materials().At(1);
    EXPECT_EQ(plain.ambient, Vec4(0.1f, 0.2f, 0.3f, 1));
    EXPECT_EQ(plain.diffuse, Vec4(0.4f, 0.5f, 0.6f, 1));
    ASSERT_NE(plain.bumpMap, nullptr);
    EXPECT_EQ(plain.bumpMap->Name(), "bump_neutral.jpg");
    EXPECT_EQ(plain.texture, nullptr);
    EXPECT_FALSE(plain.alphaMask || plain.glow);
    EXPECT_EQ(mapped.bumpMap->Name(), "hull_bump.tga");
    ASSERT_NE(mapped.texture, nullptr);
    EXPECT_EQ(mapped.texture->Name(), "hull.tga");
    EXPECT_TRUE(mapped.alphaMask && mapped.glow);
    EXPECT_FALSE(model.Materials().At(2).alphaMask);
    EXPECT_EQ(model.Materials().At(2).texture, mapped.texture);
    EXPECT_EQ(model.Materials().At(2).bumpMap, mapped.bumpMap);
    EXPECT_EQ(TextureCache::Get("hull.tga"), mapped.texture);

    // Placements, keys and light tracks are read back through the posing tests; here what they do not see.
    ASSERT_EQ(model.Objects().Count(), 2u);
    EXPECT_EQ(model.Objects().At(0).Owner(), &model.Materials().At(1));
    EXPECT_EQ(model.Objects().At(1).Owner(), nullptr);
    EXPECT_EQ(model.Objects().At(1).BoxMin(), Vec4(5, 0, 0, 1));
    EXPECT_EQ(model.Objects().At(1).thirdTrack.Key(0), Vec4(9, 9, 9, 1));
    ASSERT_EQ(model.Lights().Count(), 2u);
    ASSERT_EQ(model.Cameras().Count(), 2u);
    const SceneCamera& intro = model.Cameras().At(0);
    EXPECT_EQ(intro.staticFirst, Vec4(1, 1, 1, 1));
    EXPECT_EQ(intro.staticSecond, Vec4(2, 2, 2, 1));
    EXPECT_EQ(intro.staticValue, 0.75f);
}

TEST_F(ModelLoader, OddButWellFormedFilesLoad)
{
    ModelFile unanimated = FullModel();
    unanimated.lights[0].animated = unanimated.cameras[0].animated = false;
    const std::vector<uint8_t> empty = ModelWriter::Write(ModelFile{});
    ASSERT_EQ(empty.size(), ModelWriter::kHeaderSize + 16u);  // a header and four zero counts
    std::vector<uint8_t> trailing = ModelWriter::Write(FullModel());
    trailing.insert(trailing.end(), 1000, 0xAB);
    std::vector<uint8_t> negative = empty;
    for (int list = 0; list < 4; ++list) negative = WithInt(negative, kMaterialCountAt + 4 * list, -5 - list);
    ModelFile oneMaterial;
    oneMaterial.materials.resize(1);
    const struct { const char* name; std::vector<uint8_t> bytes; uint32_t materials, cameras; } cases[] = {
        {"empty", empty, 0, 0},
        {"negative counts", negative, 0, 0},
        {"trailing bytes", trailing, 3, 2},
        {"unanimated light and camera in an animated file", ModelWriter::Write(unanimated), 3, 2},
        // The two bytes at 294 and 295 start the count: skipping them would read 0x00010001.
        {"one material", ModelWriter::Write(oneMaterial), 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneModel loaded;
        ASSERT_TRUE(loaded.Load(Save(c.bytes).c_str()));
        EXPECT_EQ(loaded.Materials().Count(), c.materials);
        EXPECT_EQ(loaded.Cameras().Count(), c.cameras);
        EXPECT_EQ(loaded.Objects().Count(), c.cameras);  // the full model has two of each
        EXPECT_EQ(loaded.Lights().Count(), c.cameras);
        if (c.cameras > 0) {
            EXPECT_EQ(loaded.Lights().At(1).fileRadius, 7.0f);
            EXPECT_STREQ(loaded.Cameras().At(1).name, "Camera01");
        }
    }
}

TEST_F(ModelLoader, WrongMagicOrVersionOrAMissingFileIsRejected)
{
    const std::vector<uint8_t> full = ModelWriter::Write(FullModel());
    const struct { const char* name; std::string path; bool logged; } cases[] = {{"version 109", Save(WithInt(full, 4, 109)), true},
                          {"version 111", dir.Write("b.3df", WithInt(full, 4, 111)), true},
                          {"magic", dir.Write("c.3df", WithInt(full, 0, 0x46443346 + 1)), true},
                          {"missing", (dir / "absent.3df"), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneModel rejected;
        LogCapture log;
        EXPECT_FALSE(rejected.Load(c.path.c_str()));
        EXPECT_EQ(log.Contains("Cannot recognize file. Please, resave it"), c.logged);
        EXPECT_TRUE(!c.logged || log.Contains("File name: "));
        EXPECT_TRUE(Empty(rejected));
    }
}

TEST_F(ModelLoader, EveryTruncationFailsCleanlyAndAddsNothing)
{
    const std::vector<uint8_t> bytes = ModelWriter::Write(FullModel());
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        SceneModel cut;
        ASSERT_FALSE(cut.Load(Save(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(size))).c_str()));
        ASSERT_TRUE(Empty(cut));
    }
}

TEST_F(ModelLoader, CountsTheFileCannotHoldFailTheLoadWithoutGiantAllocations)
{
    const std::vector<uint8_t> still = ModelWriter::Write(ModelFile{});
    ModelFile oneObject;
    oneObject.objects.push_back(QuadObject(-1, 0));
    const std::vector<uint8_t> withObject = ModelWriter::Write(oneObject);
    const size_t objectAt = kMaterialCountAt + 8;  // the object block after both counts
    const struct { const char* name; std::vector<uint8_t> bytes; } cases[] = {
        {"material count", WithInt(still, kMaterialCountAt, 0x7FFFFFFF)},
        {"object count", WithInt(still, kMaterialCountAt + 4, 40000000)},
        {"light count", WithInt(still, kMaterialCountAt + 8, 0x7FFFFFFF)},
        {"camera count", WithInt(still, kMaterialCountAt + 12, 0x01000000)},
        {"vertex count", WithInt(withObject, objectAt + 4, 0x7FFFFFFF)},
        {"index count", WithInt(withObject, objectAt + 8, 0x7FFFFFF0)},
        {"frame count of an animated file", WithInt(ModelWriter::Write(FullModel()), 288, 0x7FFFFFFF)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneModel oversized;
        EXPECT_FALSE(oversized.Load(Save(c.bytes).c_str()));
        EXPECT_TRUE(Empty(oversized));
    }
}

TEST_F(ModelLoader, MaterialIndicesOutsideTheListLeaveTheObjectWithoutMaterial)
{
    const struct { int32_t index, expected; bool logged; } cases[] = {{-1, -1, false}, {0, 0, false}, {1, 1, false}, {2, -1, true}, {-2, -1, true}, {INT32_MIN, -1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        ModelFile file;
        file.materials.resize(2);
        file.objects.push_back(QuadObject(c.index, 0));
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
    const std::vector<uint32_t> cases[] = {{0, 1, 2, 0}, {0, 1, 4}};  // not whole triangles; no vertex 4
    for (const std::vector<uint32_t>& indices : cases) {
        SCOPED_TRACE(indices.size());
        ModelFile file;
        file.objects = {QuadObject(-1, 0), QuadObject(-1, 3)};
        file.objects[0].indices = indices;
        file.lights.resize(1);
        SceneModel loaded;
        ASSERT_TRUE(loaded.Load(Save(file).c_str()));
        ASSERT_EQ(loaded.Objects().Count(), 2u);
        EXPECT_FALSE(loaded.Objects().At(0).HasMesh());
        EXPECT_EQ(loaded.Objects().At(0).DeviceVertices(), nullptr);
        EXPECT_EQ(loaded.Objects().At(0).BoxMin(), Vec4(-3, -3, -10, 1));
        EXPECT_TRUE(loaded.Objects().At(1).HasMesh());
        EXPECT_EQ(loaded.Lights().Count(), 1u);
    }
}

TEST_F(ModelLoader, LoadEmptiesObjectsAndMaterialsButAppendsLightsAndCameras)
{
    const std::string path = Save(FullModel());
    ASSERT_TRUE(model.Load(path.c_str()));
    ASSERT_TRUE(model.Load(path.c_str()));
    EXPECT_EQ(model.Materials().Count(), 3u);
    EXPECT_EQ(model.Objects().Count(), 2u);
    EXPECT_EQ(model.Lights().Count(), 4u);
    EXPECT_EQ(model.Cameras().Count(), 4u);
    model.Clear();
    EXPECT_TRUE(Empty(model));
    EXPECT_FALSE(model.Animated());
}

TEST_F(ModelLoader, ManyObjectsKeepTheirMaterialLinksWhileTheListGrows)
{
    ModelFile file;
    file.materials.resize(1);
    for (int i = 0; i < 45; ++i) file.objects.push_back(QuadObject(0, static_cast<float>(i)));
    file.objects[7].indices = {0, 1, 2, 0, 2, 3, 1, 2, 3};
    ASSERT_TRUE(model.Load(Save(file).c_str()));
    ASSERT_EQ(model.Materials().At(0).users.Count(), 45u);
    for (uint32_t i = 0; i < 45; ++i) EXPECT_EQ(model.Materials().At(0).users.At(i), &model.Objects().At(i));
    EXPECT_EQ(model.Objects().At(7).Mesh().FaceCount(), 3u);
}

TEST_F(ModelLoader, TheCacheSharesOneModelPerExactNameAndKeepsFailures)
{
    const std::string path = dir.Write("defender.3DF", ModelWriter::Write(FullModel()));
    SceneModel* first = ModelCache::Get(path.c_str());
    EXPECT_EQ(ModelCache::Get(path.c_str()), first);
    EXPECT_EQ(first->Objects().Count(), 2u);
    const std::string otherCase = (dir / "defender.3df");
    SceneModel* missing = ModelCache::Get(otherCase.c_str());
    EXPECT_NE(missing, first);
    EXPECT_EQ(missing->Objects().Count(), 0u);
    // The failed name keeps its empty model even once a file appears under it.
    dir.Write("defender.3df", ModelWriter::Write(FullModel()));
    EXPECT_EQ(ModelCache::Get(otherCase.c_str()), missing);
    EXPECT_EQ(missing->Objects().Count(), 0u);
    EXPECT_EQ(ModelCache::Count(), 2u);
    ModelCache::Clear();
    EXPECT_EQ(ModelCache::Count(), 0u);
    EXPECT_EQ(ModelCache::Get(otherCase.c_str())->Objects().Count(), 2u);
}

}  // namespace
