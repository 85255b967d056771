#include "tests/render/pictures/PictureTest.h"

#include <cstdlib>

#include "engine/device/TextureFilter.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/Picture.h"
#include "tests/render/TestTextures.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kChannelTolerance = 24;      // per channel, 0..255
constexpr double kMismatchAllowed = 0.01;  // share of pixels beyond the tolerance

}  // namespace

void PictureTest::SetUp()
{
    window_ = Window::Create("Harnengine pictures", kWidth, kHeight, 0);
    ASSERT_NE(window_, nullptr) << "no window: these tests need an X display (xvfb-run) or SDL_VIDEODRIVER=offscreen";
    std::string error;
    device_ = OpenGLDevice::Create(window_->Handle(), &error);
    ASSERT_NE(device_, nullptr) << error;
    GraphicsDevice::SetCurrent(device_.get());
    // Sampled as the game samples: linear filtering between linear mip levels.
    TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
    renderer_ = MakeRenderer(HARN_SOURCE_DIR "/data");
    ASSERT_NE(renderer_, nullptr);
    flatNormals_ = Keep(test_textures::FlatNormals());
}

std::unique_ptr<Renderer> PictureTest::MakeRenderer(const std::string& shaderFolder)
{
    ShaderDirectory::Set(shaderFolder);
    auto renderer = std::make_unique<Renderer>();
    if (!renderer->SetUpScene()) return nullptr;
    renderer->SetBackgroundColor(Vec4(0.05f, 0.05f, 0.1f, 1));
    renderer->SetAmbientColor(Vec4(0.15f, 0.15f, 0.15f, 1));
    renderer->GetCamera().SetProjection(Pi() / 3.0f, 4.0f / 3.0f);
    renderer->GetCamera().SetLook(Vec4(0, 20, -110), Vec4(0, 0, 0), Vec4(0, 1, 0));
    return renderer;
}

std::vector<uint8_t> PictureTest::RenderPixels(const Vec4& fadeColour, float fade)
{
    renderer_->Render(fadeColour, fade);
    std::vector<uint8_t> pixels;
    EXPECT_TRUE(device_->ReadPixels(0, 0, kWidth, kHeight, &pixels));
    pixels.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return pixels;
}

void PictureTest::TearDown()
{
    renderer_.reset();
    objects_.clear();
    materials_.clear();
    textures_.clear();
    GraphicsDevice::SetCurrent(nullptr);
    device_.reset();
    window_.reset();
    ShaderDirectory::Set("");
}

Material& PictureTest::AddMaterial(Texture* normalMap, Texture* colourTexture)
{
    Material& material = materials_.emplace_back();
    material.bumpMap = normalMap ? normalMap : flatNormals_;
    material.texture = colourTexture;
    material.ambient = Vec4(0, 0, 0, 1);
    material.diffuse = Vec4(1, 1, 1, 1);
    return material;
}

SceneObject& PictureTest::AddObject(Material& material, MeshData mesh)
{
    objects_.push_back(std::make_unique<SceneObject>());
    SceneObject& object = *objects_.back();
    EXPECT_TRUE(object.BuildMesh(std::move(mesh)));
    object.SetOwner(&material);
    return object;
}

Texture* PictureTest::Keep(std::unique_ptr<Texture> texture)
{
    EXPECT_NE(texture, nullptr);
    textures_.push_back(std::move(texture));
    return textures_.back().get();
}

void PictureTest::ExpectFrameMatches(const char* name, const Vec4& fadeColour, float fade)
{
    Picture actual;
    ASSERT_TRUE(AllocatePicture(actual, kWidth, kHeight));
    actual.rgba = RenderPixels(fadeColour, fade);

    const std::string file = std::string(name) + ".png";
    TempFolder::Save(std::string(HARN_BINARY_DIR "/picture_results/") + file, PictureWriter::Png(actual));
    const std::string goldenPath = std::string(HARN_SOURCE_DIR "/tests/render/golden/") + file;
    const char* update = std::getenv("HARN_UPDATE_GOLDEN");
    if (update && update[0] == '1') {
        TempFolder::Save(goldenPath, PictureWriter::Png(actual));
        return;
    }

    const std::vector<uint8_t> bytes = TempFolder::Read(goldenPath);
    Picture golden;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), golden)) << "no reference picture " << goldenPath;
    ASSERT_EQ(golden.width, actual.width);
    ASSERT_EQ(golden.height, actual.height);
    size_t mismatches = 0;
    for (size_t i = 0; i < actual.rgba.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            if (std::abs(actual.rgba[i + c] - golden.rgba[i + c]) > kChannelTolerance) {
                ++mismatches;
                break;
            }
        }
    }
    const size_t allowed = static_cast<size_t>(kMismatchAllowed * kWidth * kHeight);
    EXPECT_LE(mismatches, allowed) << name << ": " << mismatches << " pixels differ from the reference; see "
                                   << HARN_BINARY_DIR "/picture_results/" << file;
}
