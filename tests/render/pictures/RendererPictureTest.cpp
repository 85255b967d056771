#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/render/SurfacePixelShader.h"
#include "tests/unrarlib/TempFolder.h"

#include "engine/render/Particle.h"
#include "engine/render/Sprite.h"
#include "engine/scene/PointLight.h"
#include "tests/render/TestMeshes.h"
#include "tests/render/TestTextures.h"
#include "tests/render/pictures/PictureTest.h"

namespace {

const uint8_t kCream[3] = {235, 225, 200};
const uint8_t kBrown[3] = {120, 80, 50};
const uint8_t kWhite[3] = {255, 255, 255};
const uint8_t kSteel[3] = {110, 130, 150};
const uint8_t kRed[3] = {230, 40, 30};
const uint8_t kYellow[3] = {255, 220, 60};

Matrix Turned(float aboutY, float aboutX, const Vec4& at)
{
    Matrix m = Matrix::Translation(at.x, at.y, at.z);
    m.Rotate(aboutX, Vec4(1, 0, 0));
    m.Rotate(aboutY, Vec4(0, 1, 0));
    return m;
}

class RendererPictures : public PictureTest {
protected:
    // A bumpy checkered wall behind a bumpy box, lit by a red light on the left and a blue one on
    // the right.
    void BuildLitScene()
    {
        Texture* bumps = Keep(test_textures::Bumps(128, 6));
        Material& wall = AddMaterial(bumps, Keep(test_textures::Checker(128, 32, kCream, kBrown)));
        wallObject_ = &AddObject(wall, test_meshes::Panel(45.0f, 6));
        Material& crate = AddMaterial(Keep(test_textures::Bumps(64, 3)), Keep(test_textures::Checker(64, 16, kWhite, kSteel)));
        crateObject_ = &AddObject(crate, test_meshes::Box(Vec4(-12, -12, -12), Vec4(12, 12, 12)));
        red_.position = Vec4(-35, 15, -25);
        red_.colour = Vec4(1.0f, 0.25f, 0.2f, 1);
        red_.radius = 180.0f;
        blue_.position = Vec4(35, -10, -25);
        blue_.colour = Vec4(0.25f, 0.4f, 1.0f, 1);
        blue_.radius = 180.0f;
    }

    void SubmitLitScene()
    {
        renderer_->AddObject(*wallObject_, Matrix::Translation(0, 0, 20));
        renderer_->AddObject(*crateObject_, Turned(0.6f, 0.35f, Vec4(0, 0, -10)));
        renderer_->AddLight(&red_);
        renderer_->AddLight(&blue_);
    }

    SceneObject* wallObject_ = nullptr;
    SceneObject* crateObject_ = nullptr;
    PointLight red_;
    PointLight blue_;
};

}  // namespace

TEST_F(RendererPictures, NormalMappedTexturedModelLitByTwoColouredLights)
{
    BuildLitScene();
    SubmitLitScene();
    ExpectFrameMatches("lit_two_lights");
}

// The surface pass draws what the separate ambient, light and texture passes draw, up to the
// rounding of the frame between passes and the attenuation worked out instead of read: here the lit
// scene with four more small lights in front of the crate (six on what they reach), a glowing
// textured sign, a glowing plain cube and a cut-out grille.
TEST_F(RendererPictures, TheSurfacePassDrawsWhatTheSeparatePassesDraw)
{
    BuildLitScene();
    PointLight more[4];
    for (int i = 0; i < 4; ++i) {
        more[i].position = Vec4(i % 2 ? 6.0f : -6.0f, i / 2 ? 6.0f : -6.0f, -30);
        more[i].colour = Vec4(0.3f, 0.5f - 0.1f * static_cast<float>(i), 0.2f + 0.1f * static_cast<float>(i), 1);
        more[i].radius = 20.0f;
    }
    Material& sign = AddMaterial(nullptr, Keep(test_textures::Bars(64, 8, kYellow)));
    sign.glow = true;
    SceneObject& signObject = AddObject(sign, test_meshes::Panel(12.0f, 1));
    Material& hot = AddMaterial(nullptr, nullptr);
    hot.glow = true;
    hot.diffuse = Vec4(1.0f, 0.6f, 0.1f, 1);
    SceneObject& ember = AddObject(hot, test_meshes::Box(Vec4(-6, -6, -6), Vec4(6, 6, 6)));
    Material& grille = AddMaterial(nullptr, Keep(test_textures::Bars(64, 8, kRed)));
    grille.alphaMask = true;
    SceneObject& bars = AddObject(grille, test_meshes::Panel(15.0f, 1));
    // The passes of a frame, each with the draws made so far.
    std::vector<std::pair<std::string, uint64_t>> passes;
    std::pair<decltype(passes)*, OpenGLDevice*> observer(&passes, device_.get());
    auto frame = [&] {
        passes.clear();
        device_->ResetWork();
        renderer_->SetPassObserver(
            [](void* context, const char* pass) {
                auto* test = static_cast<std::pair<decltype(passes)*, OpenGLDevice*>*>(context);
                test->first->emplace_back(pass, test->second->WorkDone().draws);
            },
            &observer);
        SubmitLitScene();
        for (PointLight& light : more) renderer_->AddLight(&light);
        renderer_->AddObject(signObject, Matrix::Translation(-25, -15, -20));
        renderer_->AddObject(ember, Turned(0.8f, 0.5f, Vec4(28, 18, -30)));
        renderer_->AddObject(bars, Matrix::Translation(20, -20, -25));
        return RenderPixels();
    };
    // Draws of the surface pass, and how many instances have at most `lights` lights.
    auto surfaceDraws = [&] { return passes.empty() || passes[0].first != "surface" ? -1 : static_cast<int>(passes[0].second); };
    auto instancesWithin = [&](uint32_t lights) {
        int count = 0;
        for (const Material& material : materials_) {
            for (const MeshInstance& instance : material.instances) count += instance.visible && instance.lights.Count() <= lights;
        }
        return count;
    };
    auto lightPasses = [&] {
        return std::count_if(passes.begin(), passes.end(), [](const auto& pass) { return pass.first == "light"; });
    };
    const std::vector<uint8_t> together = frame();
    EXPECT_EQ(lightPasses(), 0);
    EXPECT_EQ(surfaceDraws(), 5);

    // The same frame from a renderer whose surface shader is missing (every instance through the
    // separate passes), and from one whose surface shader fails above five lights, as on a driver
    // with fewer registers (what the small lights reach, with six, through the separate passes).
    const struct { const char* folder; const char* surfacePrefix; uint32_t surfaceLights; } others[] = {
        {"no_surface_shader/", nullptr, 0},
        {"surface_up_to_five_lights/", "#if LIGHTS > 5\n#error not on this driver\n#endif\n", 5},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.folder);
        const std::string folder = ::testing::TempDir() + other.folder;
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (const auto& entry : std::filesystem::directory_iterator(HARN_SOURCE_DIR "/data")) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".vsh" && extension != ".psh") continue;
            std::vector<uint8_t> text = TempFolder::Read(entry.path());
            if (entry.path().filename() == SurfacePixelShader::kSourceFile) {
                if (!other.surfacePrefix) continue;
                text.insert(text.begin(), other.surfacePrefix, other.surfacePrefix + std::strlen(other.surfacePrefix));
            }
            TempFolder::Save(folder + entry.path().filename().string(), text);
        }
        renderer_ = MakeRenderer(folder);
        ASSERT_NE(renderer_, nullptr);
        // The new renderer counts frames from 0 again: the materials must not look listed already.
        for (Material& material : materials_) material.frameStamp = -1;
        const std::vector<uint8_t> apart = frame();
        EXPECT_EQ(lightPasses(), 1);
        EXPECT_EQ(surfaceDraws(), other.surfacePrefix ? instancesWithin(other.surfaceLights) : 0);
        int largest = 0;
        for (size_t i = 0; i < together.size(); ++i) largest = std::max(largest, std::abs(together[i] - apart[i]));
        EXPECT_LE(largest, 10);  // 7 on Mesa's software renderer
    }
}

TEST_F(RendererPictures, GlowOffLeavesTheGlowingCubeFlat)
{
    BuildLitScene();
    Material& hot = AddMaterial(nullptr, nullptr);
    hot.glow = true;
    hot.diffuse = Vec4(1.0f, 0.6f, 0.1f, 1);
    SceneObject& ember = AddObject(hot, test_meshes::Box(Vec4(-6, -6, -6), Vec4(6, 6, 6)));
    for (const char* name : {"glow_off", "glow_on"}) {
        const bool on = name[6] == 'n';
        renderer_->SetGlowEnabled(on);
        renderer_->SetBlur(0.05f);  // about 3 texels of the small glow target
        SubmitLitScene();
        renderer_->AddObject(ember, Turned(0.8f, 0.5f, Vec4(28, 18, -30)));
        ExpectFrameMatches(name);
    }
}

TEST_F(RendererPictures, AlphaMaskedMaterialCutsBarsOutOfThePanel)
{
    Material& back = AddMaterial(nullptr, Keep(test_textures::Checker(64, 16, kSteel, kWhite)));
    SceneObject& wall = AddObject(back, test_meshes::Panel(45.0f, 1));
    Material& grille = AddMaterial(nullptr, Keep(test_textures::Bars(64, 8, kRed)));
    grille.alphaMask = true;
    SceneObject& bars = AddObject(grille, test_meshes::Panel(28.0f, 1));
    PointLight white;
    white.position = Vec4(0, 10, -60);
    white.colour = Vec4(1, 1, 1, 1);
    white.radius = 220.0f;
    renderer_->AddObject(wall, Matrix::Translation(0, 0, 20));
    renderer_->AddObject(bars, Matrix::Translation(0, 0, -15));
    renderer_->AddLight(&white);
    ExpectFrameMatches("alpha_mask");
}

TEST_F(RendererPictures, SpritesShowEachBlendModeOverABand)
{
    renderer_->SetBackgroundColor(Vec4(0.1f, 0.2f, 0.35f, 1));
    Texture* spot = Keep(test_textures::Spot(32, kWhite, false));
    Sprite band;
    band.color = Vec4(0.8f, 0.45f, 0.2f, 1);
    band.topLeft = Vec4(0, 0.35f, 0);
    band.bottomRight = Vec4(1, 0.65f, 0);
    renderer_->AddSprite(&band);
    // Modes 0 (opaque), 1 (added), 2 (multiplied), 3 (alpha blended), left to right.
    Sprite modes[4];
    for (int i = 0; i < 4; ++i) {
        modes[i].texture = spot;
        modes[i].blendMode = i;
        modes[i].color = Vec4(0.6f, 0.9f, 0.6f, 1);
        modes[i].topLeft = Vec4(0.04f + 0.24f * static_cast<float>(i), 0.2f, 0);
        modes[i].bottomRight = Vec4(0.22f + 0.24f * static_cast<float>(i), 0.8f, 0);
        renderer_->AddSprite(&modes[i]);
    }
    ExpectFrameMatches("sprites_blend_modes");
}

TEST_F(RendererPictures, ParticlesAddOnTheLeftAndBlendByAlphaOnTheRight)
{
    Material& back = AddMaterial(nullptr, Keep(test_textures::Checker(64, 16, kSteel, kWhite)));
    SceneObject& wall = AddObject(back, test_meshes::Panel(45.0f, 1));
    PointLight white;
    white.position = Vec4(0, 0, -50);
    white.colour = Vec4(0.8f, 0.8f, 0.8f, 1);
    white.radius = 150.0f;
    renderer_->AddObject(wall, Matrix::Translation(0, 0, 20));
    renderer_->AddLight(&white);
    Texture* spark = Keep(test_textures::Spot(32, kYellow, true));
    Texture* smoke = Keep(test_textures::Spot(32, kBrown, false));
    std::vector<Particle> particles(12);
    for (int i = 0; i < 12; ++i) {
        Particle& p = particles[static_cast<size_t>(i)];
        const bool additive = i < 6;
        const float row = static_cast<float>(i % 6);
        p.texture = additive ? spark : smoke;
        p.blendMode = additive ? 1 : 3;
        p.position = Vec4(additive ? -20.0f + 2.0f * row : 14.0f + 3.0f * row, -18.0f + 7.0f * row, -10.0f + row);
        p.size = 9.0f;
        p.color = Vec4(1, 1, 1, additive ? 1.0f : 0.8f);
        renderer_->AddParticle(&p);
    }
    ExpectFrameMatches("particles_add_and_alpha");
}

TEST_F(RendererPictures, FadeCoversTheSceneNotAtAllHalfWayAndWhollyInTheFadeColour)
{
    BuildLitScene();
    const struct { const char* name; float fade; } cases[] = {{"fade_0", 0.0f}, {"fade_0_5", 0.5f}, {"fade_1", 1.0f}};
    for (const auto& c : cases) {
        SubmitLitScene();
        ExpectFrameMatches(c.name, Vec4(1.0f, 0.55f, 0.1f, 1), c.fade);
        if (c.fade == 1.0f) renderer_->Render(Vec4(0, 0, 0, 1), 0.0f);  // drains what the fade kept
    }
}
