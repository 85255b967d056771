#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/scene/Picture.h"
#include "tests/render/TestMeshes.h"
#include "tests/render/TestTextures.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/ModelWriter.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

const uint8_t kLight[3] = {240, 220, 180};
const uint8_t kDark[3] = {60, 90, 160};

ModelFileObject ObjectOf(const MeshData& mesh, int32_t material)
{
    ModelFileObject object;
    object.material = material;
    object.vertices = mesh.vertices;
    object.indices = mesh.indices;
    return object;
}

// A crate on a floor and a glowing cube turning above it, ten frames of animation, with its maps
// beside it: what a modder's model folder holds. The viewer orbits it under its own head light.
std::filesystem::path WriteModelFolder()
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "harntool_view_model";
    std::filesystem::create_directories(folder);
    TempFolder::Save(folder / "crate.png", PictureWriter::Png(test_textures::CheckerPicture(64, 16, kLight, kDark)));
    TempFolder::Save(folder / "flat.png", PictureWriter::Png(test_textures::FlatNormalPicture()));

    ModelFile model;
    model.frameCount = 10;
    ModelFileMaterial crate;
    crate.diffuse = {1, 1, 1};
    crate.bumpMap = "flat.png";
    crate.texture = "crate.png";
    ModelFileMaterial ember;
    ember.diffuse = {1.0f, 0.55f, 0.1f};
    ember.bumpMap = "flat.png";
    ember.glow = true;
    model.materials = {crate, ember};

    model.objects.push_back(ObjectOf(test_meshes::Box(Vec4(-10, -10, -10), Vec4(10, 10, 10)), 0));
    model.objects.push_back(ObjectOf(test_meshes::Box(Vec4(-40, -14, -40), Vec4(40, -11, 40)), 0));
    ModelFileObject spinner = ObjectOf(test_meshes::Box(Vec4(-4, -4, -4), Vec4(4, 4, 4)), 1);
    spinner.animated = true;
    for (int frame = 0; frame < model.frameCount; ++frame) {
        ObjectKey key;
        key.position = {0, 22, 0};
        key.axis = {0, 1, 0};
        key.angle = 0.5f * static_cast<float>(frame);
        spinner.keys.push_back(key);
    }
    model.objects.push_back(spinner);
    EXPECT_TRUE(ModelWriter::WriteFile(model, (folder / "viewer_test.3df").string().c_str()));
    return folder;
}

}  // namespace

TEST(HarntoolView, SavesTheLastOfTheRequestedFramesAtTheRequestedSize)
{
    const std::filesystem::path folder = WriteModelFolder();
    const std::string screenshot = std::string(HARN_BINARY_DIR "/picture_results/harntool_view.png");
    std::filesystem::create_directories(HARN_BINARY_DIR "/picture_results");
    std::filesystem::remove(screenshot);
    const std::string command = std::string(HARN_BINARY_DIR "/harntool view ") + (folder / "viewer_test.3df").string() +
                                " --frames 12 --size 320x240 --screenshot " + screenshot;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::vector<uint8_t> bytes = TempFolder::Read(screenshot);
    Picture picture;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), picture)) << screenshot;
    EXPECT_EQ(picture.width, 320u);
    EXPECT_EQ(picture.height, 240u);
    // The model fills the middle; the corner shows the background.
    const auto at = [&](uint32_t x, uint32_t y) { return &picture.rgba[4 * (y * picture.width + x)]; };
    const uint8_t* corner = at(2, 2);
    int differing = 0;
    for (uint32_t y = 80; y < 160; y += 4) {
        for (uint32_t x = 100; x < 220; x += 4) {
            const uint8_t* p = at(x, y);
            differing += std::abs(p[0] - corner[0]) + std::abs(p[1] - corner[1]) + std::abs(p[2] - corner[2]) > 30;
        }
    }
    EXPECT_GT(differing, 150);  // of 600 samples
}

// Status 2 for bad usage, 1 for a missing model or shader sources missing beside the program (a copy
// of it in a folder of its own), which then saves no picture.
TEST(HarntoolView, RefusesBadOptionsAMissingModelAndMissingShaderSources)
{
    const std::filesystem::path folder = WriteModelFolder();
    const std::filesystem::path lonely = std::filesystem::path(::testing::TempDir()) / "harntool_without_shaders";
    std::filesystem::create_directories(lonely);
    std::filesystem::copy_file(HARN_BINARY_DIR "/harntool", lonely / "harntool", std::filesystem::copy_options::overwrite_existing);
    const std::string harntool = HARN_BINARY_DIR "/harntool ";
    const struct { std::string command; int status; } cases[] = {
        {harntool + "view", 2}, {harntool + "view a.3df --size 0x10", 2}, {harntool + "view a.3df --frames -1", 2},
        {harntool + "view a.3df --bogus", 2}, {harntool + "view /nonexistent/model.3df --frames 1", 1},
        {(lonely / "harntool").string() + " view " + (folder / "viewer_test.3df").string() +
             " --frames 1 --size 64x48 --screenshot " + (lonely / "never.png").string(), 1}};
    for (const auto& c : cases) {
        const int result = std::system((c.command + " 2>/dev/null").c_str());
        ASSERT_TRUE(WIFEXITED(result)) << c.command;
        EXPECT_EQ(WEXITSTATUS(result), c.status) << c.command;
    }
    EXPECT_FALSE(std::filesystem::exists(lonely / "never.png"));
    std::filesystem::remove_all(lonely);
}
