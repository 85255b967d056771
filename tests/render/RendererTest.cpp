#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/device/NullDevice.h"
#include "engine/device/TextureFilter.h"
#include "engine/render/Particle.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/render/Sprite.h"
#include "engine/render/SurfacePixelShader.h"
#include "engine/scene/Material.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/Texture.h"
#include "tests/render/TestMeshes.h"
#include "tests/render/TestTextures.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A renderer on a null device whose camera stands at (0, 0, −100) looking at the origin with a
// 90° field of view, so the visible half-width at depth d in front of the camera is d × 4/3.
class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
        ASSERT_TRUE(renderer_.SetUpScene());
        Aim(renderer_);
        device_.ClearLog();
    }
    void TearDown() override { ShaderDirectory::Set(""); }

    // An object with a box mesh between the corners, listed by the material.
    SceneObject& AddBoxObject(Material& material, const Vec4& lo = Vec4(-1, -1, -1), const Vec4& hi = Vec4(1, 1, 1))
    {
        objects_.push_back(std::make_unique<SceneObject>());
        SceneObject& object = *objects_.back();
        EXPECT_TRUE(object.BuildMesh(test_meshes::Box(lo, hi)));
        object.SetOwner(&material);
        return object;
    }

    // A texture of its own (only its identity matters to the renderer's batching).
    Texture& NewTexture()
    {
        textures_.push_back(test_textures::FlatNormals());
        EXPECT_NE(textures_.back(), nullptr);
        return *textures_.back();
    }

    void RenderFrame(float fade = 0.0f) { renderer_.Render(Vec4(0.2f, 0.4f, 0.6f, 1.0f), fade); }

    std::vector<NullDrawCall> DrawsOfFormat(uint32_t fvf) const
    {
        std::vector<NullDrawCall> found;
        for (const NullDrawCall& draw : device_.Draws()) {
            if (!draw.indexed && draw.fvf == fvf) found.push_back(draw);
        }
        return found;
    }

    // Mesh draws made with the shader compiled from this file of the folder (the tree's data/ by default).
    std::vector<const NullDrawCall*> MeshDraws(const char* shaderFile, const std::string& folder = "") const
    {
        const std::string path = folder.empty() ? ShaderDirectory::PathOf(shaderFile) : folder + shaderFile;
        std::vector<const NullDrawCall*> found;
        for (const NullDrawCall& draw : device_.Draws()) {
            if (draw.indexed && draw.vertexShader && draw.vertexShader->SourcePath() == path) found.push_back(&draw);
        }
        return found;
    }
    int MeshDrawsWith(const char* shaderFile) const { return static_cast<int>(MeshDraws(shaderFile).size()); }
    // Mesh draws of the surface pass, which draws an instance in one go.
    std::vector<const NullDrawCall*> SurfaceDraws() const
    {
        const std::string path = ShaderDirectory::PathOf(SurfacePixelShader::kSourceFile);
        std::vector<const NullDrawCall*> found;
        for (const NullDrawCall& draw : device_.Draws()) {
            if (draw.indexed && draw.pixelShader && draw.pixelShader->SourcePath() == path) found.push_back(&draw);
        }
        return found;
    }

    void Aim(Renderer& renderer)
    {
        renderer.GetCamera().SetProjection(Pi() / 2.0f, 4.0f / 3.0f);
        renderer.GetCamera().SetLook(Vec4(0, 0, -100), Vec4(0, 0, 0), Vec4(0, 1, 0));
    }

    NullDevice device_{kWidth, kHeight};
    ScopedCurrentDevice current_{&device_};
    Renderer renderer_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    std::vector<std::unique_ptr<Texture>> textures_;
};

template <typename Vertex>
std::vector<Vertex> VerticesOf(const NullDrawCall& draw)
{
    std::vector<Vertex> vertices(draw.vertexBytes.size() / sizeof(Vertex));
    std::memcpy(vertices.data(), draw.vertexBytes.data(), vertices.size() * sizeof(Vertex));
    return vertices;
}

// The first component of a shader constant as the draw left it.
float ConstantOf(const DeviceShader* shader, const char* name)
{
    return shader->Constants().Find(shader->GetConstantByName(name))->value[0];
}

}  // namespace

TEST(RendererSizes, GlowSideIsHalfTheLargestPowerOfTwoWithinTheDisplay)
{
    const struct { int display, glow; } cases[] = {{1024, 512}, {1023, 256}, {480, 128}, {2, 1}, {1, 1}, {0, 1}, {-5, 1}};
    for (const auto& c : cases) EXPECT_EQ(Renderer::GlowSide(c.display), c.glow) << c.display;
}

TEST(RendererSizes, AttenuationFallsOffWithTheDistanceFromTheFirstTexel)
{
    std::vector<uint8_t> volume(16 * 16 * 16 * 4);
    Renderer::BuildAttenuationVolume(volume.data());
    const auto at = [&](int x, int y, int z) { return volume[4 * ((z * 16 + y) * 16 + x)]; };
    EXPECT_EQ(at(0, 0, 0), 255);
    EXPECT_EQ(at(8, 0, 0), 39);  // 255 / (0.5² × 22 + 1)
    EXPECT_EQ(at(3, 4, 0), at(0, 3, 4));
    EXPECT_GT(at(1, 0, 0), at(2, 0, 0));
    for (size_t i = 0; i < volume.size(); i += 4) {
        EXPECT_EQ(volume[i], volume[i + 1]);
        EXPECT_EQ(volume[i], volume[i + 2]);
        ASSERT_EQ(volume[i + 3], 255);
    }
}

// An object without a material and null lights, particles and sprites are ignored.
TEST_F(RendererTest, AddObjectListsAMaterialOnceAFrameAndStampsItAndTheObject)
{
    Material material;
    SceneObject& a = AddBoxObject(material);
    SceneObject& b = AddBoxObject(material);
    SceneObject loose;
    ASSERT_TRUE(loose.BuildMesh(test_meshes::Box(Vec4(-1, -1, -1), Vec4(1, 1, 1))));
    renderer_.AddObject(loose, Matrix());
    renderer_.AddLight(nullptr);
    renderer_.AddParticle(nullptr);
    renderer_.AddSprite(nullptr);
    renderer_.AddObject(a, Matrix::Translation(-5, 0, 0));
    renderer_.AddObject(b, Matrix::Translation(5, 0, 0));
    renderer_.AddObject(a, Matrix::Translation(0, 5, 0));
    EXPECT_EQ(renderer_.Models().Count(), 1u);
    EXPECT_EQ(loose.FrameStamp(), -1);
    EXPECT_EQ(renderer_.Lights().Count() + renderer_.Particles().Count() + renderer_.Sprites().Count(), 0u);
    EXPECT_EQ(std::tuple(material.instances.Count(), material.frameStamp, a.FrameStamp()), std::tuple(3u, 0, 0));
    const MeshInstance& second = material.instances.At(1);
    EXPECT_EQ(std::tuple(second.world(3, 0), second.inverseWorld(3, 0), second.visible), std::tuple(5.0f, -5.0f, 1));

    RenderFrame();
    EXPECT_EQ(renderer_.FrameCounter(), 1u);
    // The instances stay with the material until its next first submission.
    EXPECT_EQ(material.instances.Count(), 3u);
    renderer_.AddObject(b, Matrix());
    EXPECT_EQ(std::tuple(material.instances.Count(), material.frameStamp, b.FrameStamp(), a.FrameStamp()), std::tuple(1u, 1, 1, 0));
    // Only b, stamped this frame, is drawn, once in the surface pass.
    device_.ClearLog();
    RenderFrame();
    int meshDraws = 0;
    for (const NullDrawCall& draw : device_.Draws()) meshDraws += draw.indexed ? 1 : 0;
    EXPECT_EQ(meshDraws, 1);
    EXPECT_EQ(SurfaceDraws().size(), 1u);
}

TEST_F(RendererTest, CullingHidesABoxOutsideOnePlaneAndKeepsABoxStraddlingPlanes)
{
    Material material;
    SceneObject& box = AddBoxObject(material);
    SceneObject& wide = AddBoxObject(material, Vec4(-1000, -1, -1), Vec4(1000, 1, 1));
    const struct { const char* what; SceneObject* object; Matrix world; bool visible; } cases[] = {
        {"in the middle", &box, Matrix(), true},
        {"far to the left", &box, Matrix::Translation(-500, 0, 0), false},
        {"behind the camera", &box, Matrix::Translation(0, 0, -200), false},
        {"beyond the far plane", &box, Matrix::Translation(0, 0, 6000), false},
        {"half across the right edge", &box, Matrix::Translation(133.3f, 0, 0), true},
        {"above the top", &box, Matrix::Translation(0, 110, 0), false},
        // Every corner lies outside some plane, but no one plane has all of them outside.
        {"straddling the left and right planes", &wide, Matrix(), true},
        {"straddling left and right but below", &wide, Matrix::Translation(0, -150, 0), false},
    };
    for (const auto& c : cases) renderer_.AddObject(*c.object, c.world);
    RenderFrame();
    ASSERT_EQ(material.instances.Count(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(material.instances.At(static_cast<uint32_t>(i)).visible != 0, cases[i].visible) << cases[i].what;
    }
    // Only the visible ones reach the device.
    EXPECT_EQ(SurfaceDraws().size(), 3u);
}

// Each instance tests the light against its box in its own space: of two unit boxes at x = ±30 only
// the one at +30 meets the last light.
TEST_F(RendererTest, LightsReachInstancesWithinTheirRadiusOfTheBoxInsideTheFrustum)
{
    Material material;
    material.bumpMap = &NewTexture();
    renderer_.AddObject(AddBoxObject(material, Vec4(-10, -10, -10), Vec4(10, 10, 10)), Matrix());
    SceneObject& small = AddBoxObject(material);
    renderer_.AddObject(small, Matrix::Translation(30, 0, 0));
    renderer_.AddObject(small, Matrix::Translation(-30, 0, 0));
    // Distances from the box, −10..10 on every axis.
    const struct { const char* what; Vec4 position; float radius; bool lights; } cases[] = {
        {"touching", Vec4(14.9f, 0, 0), 5, true},
        {"exactly at the radius", Vec4(0, 15, 0), 5, false},
        {"diagonally inside", Vec4(13, 13, 0), 5, true},     // 3² + 3² = 18 < 25
        {"diagonally outside", Vec4(14, 14, 0), 5, false},   // 4² + 4² = 32 > 25
        {"off screen", Vec4(-300, 0, 0), 5, false},          // outside the left plane
        {"off screen, larger", Vec4(-300, 0, 0), 100, false},
        {"near the box at +30", Vec4(33, 0, 0), 2.5f, false},
    };
    std::vector<PointLight> lights(std::size(cases));
    std::vector<const PointLight*> expected;
    for (size_t i = 0; i < lights.size(); ++i) {
        lights[i].position = cases[i].position;
        lights[i].radius = cases[i].radius;
        renderer_.AddLight(&lights[i]);
        if (cases[i].lights) expected.push_back(&lights[i]);
    }
    RenderFrame();
    const MeshInstance& instance = material.instances.At(0);
    ASSERT_EQ(instance.lights.Count(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(instance.lights.At(static_cast<uint32_t>(i)), expected[i]);
    ASSERT_EQ(material.instances.At(1).lights.Count(), 1u);
    EXPECT_EQ(material.instances.At(1).lights.At(0), &lights.back());
    EXPECT_EQ(material.instances.At(2).lights.Count(), 0u);
}

// An instance of up to eight lights is one surface draw carrying them all; one of more lights is
// left to the separate passes: ambient, a light-pass draw for every four lights (and one for the
// rest), texture. One without a normal map has no lights to carry.
TEST_F(RendererTest, TheSurfacePassDrawsAnInstanceOfUpToEightLightsOnceAndLeavesMoreToTheSeparatePasses)
{
    const struct { uint32_t lights; bool bumpy; size_t surfaceDraws; int lightDraws; } cases[] = {
        {0, true, 1, 0}, {1, true, 1, 0}, {4, true, 1, 0}, {5, true, 1, 0}, {8, true, 1, 0},
        {9, true, 0, 3}, {13, true, 0, 4}, {10, false, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lights << (c.bumpy ? " lights, normal-mapped" : " lights, plain"));
        Material material;
        if (c.bumpy) material.bumpMap = &NewTexture();
        renderer_.AddObject(AddBoxObject(material), Matrix::Translation(2, 0, 0));
        std::vector<PointLight> lights(c.lights);
        for (uint32_t i = 0; i < c.lights; ++i) {
            lights[i].position = Vec4(static_cast<float>(i), 0, -3);
            lights[i].colour = Vec4(0.1f * static_cast<float>(i), 0.5f, 0.5f, 1);
            lights[i].radius = 50.0f + static_cast<float>(i);
            renderer_.AddLight(&lights[i]);
        }
        device_.ClearLog();
        RenderFrame();
        const std::vector<const NullDrawCall*> surface = SurfaceDraws();
        ASSERT_EQ(surface.size(), c.surfaceDraws);
        const std::vector<const NullDrawCall*> lit = MeshDraws(NormalMapLightsVertexShader::kSourceFile);
        ASSERT_EQ(static_cast<int>(lit.size()) - static_cast<int>(surface.size()), c.lightDraws);
        EXPECT_EQ(MeshDrawsWith(NullVertexShader::kSourceFile), c.lightDraws > 0 ? 2 : 0);  // ambient and texture
        if (!c.bumpy || c.lights == 0) continue;
        // The last draw holds the last group of four (all of them in a surface draw), its lights
        // placed in the object's space: the box stands at x = 2.
        const PointLight& lead = c.surfaceDraws ? lights[0] : lights[(c.lights - 1) / 4 * 4];
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->vertexShader, "lightPositions"), lead.position.x - 2);
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->vertexShader, "lightRadii"), 1.0f / lead.radius);
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->pixelShader, "lightColors"), lead.colour.x);
        if (c.surfaceDraws == 0 || c.lights <= 4) continue;
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->vertexShader, "moreLightPositions"), lights[4].position.x - 2);
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->vertexShader, "moreLightRadii"), 1.0f / lights[4].radius);
        EXPECT_FLOAT_EQ(ConstantOf(lit.back()->pixelShader, "moreLightColors"), lights[4].colour.x);
    }
}

// What a surface draw starts from: the ambient colour (the renderer's plus the material's), or for
// a glowing material white where its texture is opaque; cut-out materials are alpha-tested.
TEST_F(RendererTest, SurfaceDrawsCarryTheAmbientColourTheGlowBlendTheDiffuseColourAndTheCutOut)
{
    renderer_.SetAmbientColor(Vec4(0.1f, 0.2f, 0.3f, 1));
    const struct { const char* what; bool textured, glow, alphaMask; float base, glowMix; bool alphaTest; } cases[] = {
        {"plain", false, false, false, 0.5f, 0, false},
        {"textured", true, false, false, 0.5f, 0, false},
        {"cut out", true, false, true, 0.5f, 0, true},
        {"mask without texture", false, false, true, 0.5f, 0, false},
        {"glowing, textured", true, true, true, 0.5f, 1, false},
        {"glowing, plain", false, true, false, 1.0f, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Material material;
        material.ambient = Vec4(0.4f, 0, 0, 1);
        material.diffuse = Vec4(0.25f, 0.5f, 0.75f, 1);
        material.glow = c.glow;
        material.alphaMask = c.alphaMask;
        if (c.textured) material.texture = &NewTexture();
        renderer_.AddObject(AddBoxObject(material), Matrix());
        device_.ClearLog();
        RenderFrame();
        const std::vector<const NullDrawCall*> surface = SurfaceDraws();
        ASSERT_EQ(surface.size(), 1u);
        EXPECT_FLOAT_EQ(ConstantOf(surface[0]->pixelShader, "baseColor"), c.base);
        EXPECT_FLOAT_EQ(ConstantOf(surface[0]->pixelShader, "glowMix"), c.glowMix);
        EXPECT_FLOAT_EQ(ConstantOf(surface[0]->pixelShader, "diffuseColor"), 0.25f);
        EXPECT_EQ(surface[0]->alphaTest, c.alphaTest);
        EXPECT_EQ(surface[0]->stages[2].texture, c.textured ? material.texture->Device() : nullptr);
    }
    EXPECT_EQ(device_.GetRenderState(RenderState::AlphaTestEnable), 0u);
}

// Nearest first, whatever the order of submission and of materials, so that the depth test spares
// the shading of what lies behind.
TEST_F(RendererTest, SurfaceDrawsGoNearestFirst)
{
    Material first, second;
    SceneObject& a = AddBoxObject(first);
    SceneObject& b = AddBoxObject(second);
    const float depths[] = {40, -20, 70, 0, 10};
    for (size_t i = 0; i < std::size(depths); ++i) {
        renderer_.AddObject(i % 2 ? b : a, Matrix::Translation(0, 0, depths[i]));
    }
    RenderFrame();
    std::vector<float> drawn;
    for (const NullDrawCall* draw : SurfaceDraws()) drawn.push_back(draw->world(3, 2));
    EXPECT_EQ(drawn, (std::vector<float>{-20, 0, 10, 40, 70}));
}

// A shader folder that holds only the one-light shaders: each light of an instance is a draw of
// its own through the normal-map shader.
TEST_F(RendererTest, WithOnlyTheOneLightShadersEachLightIsADrawOfItsOwn)
{
    const std::string directory = ::testing::TempDir() + "one_light_shaders/";
    std::filesystem::create_directories(directory);
    for (const char* name : {NullVertexShader::kSourceFile, NormalMapVertexShader::kSourceFile, GlowVertexShader::kSourceFile,
                             GlowPixelShader::kSourceFile, AlphaPixelShader::kSourceFile, ParticleVertexShader::kSourceFile}) {
        std::filesystem::copy_file(std::string(HARN_SOURCE_DIR "/data/") + name, directory + name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    ShaderDirectory::Set(directory);
    Renderer renderer;
    ASSERT_TRUE(renderer.SetUpScene());
    Aim(renderer);
    Material material;
    material.bumpMap = &NewTexture();
    renderer.AddObject(AddBoxObject(material), Matrix());
    PointLight lights[5];
    for (PointLight& light : lights) {
        light.radius = 50.0f;
        renderer.AddLight(&light);
    }
    renderer.Render(Vec4(0, 0, 0, 1), 0.0f);
    EXPECT_EQ(MeshDraws(NormalMapVertexShader::kSourceFile, directory).size(), 5u);
}

TEST_F(RendererTest, FadeOneClearsToTheFadeColourDrawsNothingAndKeepsEverythingQueuedForTheNextFrame)
{
    Material material;
    SceneObject& box = AddBoxObject(material);
    PointLight light{};
    light.radius = 10.0f;
    Particle particle;
    Sprite sprite;
    for (int frame = 0; frame < 2; ++frame) {
        renderer_.AddObject(box, Matrix::Translation(static_cast<float>(frame), 0, 0));
        renderer_.AddLight(&light);
        renderer_.AddParticle(&particle);
        renderer_.AddSprite(&sprite);
        renderer_.Render(Vec4(0.2f, 0.4f, 0.6f, 1.0f), 1.0f);
    }
    ASSERT_EQ(device_.Clears().size(), 2u);
    EXPECT_EQ(device_.Clears()[0].color, PackColor(255, 51, 102, 153));
    EXPECT_EQ(device_.Clears()[0].flags, ClearFlags::Target | ClearFlags::ZBuffer);
    EXPECT_TRUE(device_.Draws().empty());
    EXPECT_EQ(renderer_.FrameCounter(), 0u);
    EXPECT_EQ(std::tuple(renderer_.Models().Count(), material.instances.Count(), renderer_.Lights().Count(),
                         renderer_.Particles().Count(), renderer_.Sprites().Count()), std::tuple(1u, 2u, 2u, 2u, 2u));

    // A drawn frame clears to the background colour, draws what both frames queued and empties
    // every list.
    renderer_.SetBackgroundColor(Vec4(1, 0.5f, 0, 1));
    renderer_.Render(Vec4(0.2f, 0.4f, 0.6f, 1.0f), 0.5f);
    EXPECT_EQ(device_.Clears().back().color, PackColor(255, 255, 127, 0));
    EXPECT_EQ(SurfaceDraws().size(), 2u);
    EXPECT_EQ(std::tuple(renderer_.Models().Count(), renderer_.Lights().Count(), renderer_.Particles().Count(),
                         renderer_.Sprites().Count(), renderer_.FrameCounter()), std::tuple(0u, 0u, 0u, 0u, 1u));
    EXPECT_FALSE(device_.InScene());
}

TEST_F(RendererTest, ParticlesAreDrawnBackToFrontWithTheirCentreSizeAndColour)
{
    Particle near, middle, far;
    near.position = Vec4(1, 0, -50);
    middle.position = Vec4(2, 0, 0);
    far.position = Vec4(3, 0, 400);
    far.size = 7.0f;
    far.color = Vec4(1, 0.5f, 0, 1);
    Material material;
    renderer_.AddObject(AddBoxObject(material), Matrix());
    renderer_.AddParticle(&middle);
    renderer_.AddParticle(&near);
    renderer_.AddParticle(&far);
    RenderFrame();
    const std::vector<NullDrawCall> draws = DrawsOfFormat(ParticleVertex::kFvf);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitiveCount, 6u);
    // Behind the surfaces' depth, without hiding one another.
    EXPECT_FALSE(draws[0].depthWrite);
    EXPECT_EQ(SurfaceDraws().size(), 1u);
    const auto vertices = VerticesOf<ParticleVertex>(draws[0]);
    ASSERT_EQ(vertices.size(), 18u);
    EXPECT_EQ(std::tuple(vertices[0].t0, vertices[6].t0, vertices[12].t0), std::tuple(3.0f, 2.0f, 1.0f)) << "far to near";
    EXPECT_EQ(vertices[5].t3, 7.0f);
    EXPECT_EQ(vertices[0].color, PackColor(255, 255, 127, 0));
    EXPECT_GT(far.depth, middle.depth);
    EXPECT_GT(middle.depth, near.depth);
}

TEST_F(RendererTest, ParticlesWithoutANumericDepthStillSortAndDraw)
{
    std::vector<Particle> particles(40);
    for (size_t i = 0; i < particles.size(); ++i) {
        particles[i].position = Vec4(0, 0, i % 3 == 0 ? NAN : static_cast<float>(i));
        renderer_.AddParticle(&particles[i]);
    }
    RenderFrame();
    const std::vector<NullDrawCall> draws = DrawsOfFormat(ParticleVertex::kFvf);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitiveCount, 80u);
}

TEST_F(RendererTest, SpriteCornersMapToPixelsZeroToWidthMinusOneInSubmissionOrder)
{
    Sprite screen, corner;
    screen.topLeft = Vec4(0, 0, 0);
    screen.bottomRight = Vec4(1, 1, 0);
    corner.topLeft = Vec4(0.5f, 0.25f, 0);
    corner.bottomRight = Vec4(0.75f, 0.5f, 0);
    corner.color = Vec4(1, 0, 0, 0.5f);
    renderer_.AddSprite(&screen);
    renderer_.AddSprite(&corner);
    RenderFrame();
    const std::vector<NullDrawCall> draws = DrawsOfFormat(ScreenVertex::kFvf);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].primitiveCount, 4u);
    EXPECT_EQ(draws[0].vertexShader, nullptr);
    EXPECT_FALSE(draws[0].blending);  // mode 0
    const auto v = VerticesOf<ScreenVertex>(draws[0]);
    ASSERT_EQ(v.size(), 12u);
    const struct { float x, y, u, w; } first[] = {{0, 0, 0, 0}, {0, kHeight - 1, 0, 1}, {kWidth - 1, 0, 1, 0},
                 {kWidth - 1, 0, 1, 0}, {0, kHeight - 1, 0, 1}, {kWidth - 1, kHeight - 1, 1, 1}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(v[i].x == first[i].x && v[i].y == first[i].y && v[i].u == first[i].u && v[i].v == first[i].w) << i;
        EXPECT_TRUE(v[i].z == 0.5f && v[i].rhw == 1.0f) << i;
    }
    EXPECT_FLOAT_EQ(v[6].x, 319.5f);
    EXPECT_FLOAT_EQ(v[6].y, 119.75f);
    EXPECT_FLOAT_EQ(v[11].x, 479.25f);
    EXPECT_EQ(v[6].color, PackColor(127, 255, 0, 0));
    EXPECT_EQ(device_.GetRenderState(RenderState::ZEnable), 0u);
}

TEST_F(RendererTest, FadeZeroDrawsNoOverlayAndFadeBetweenDrawsOneWithItsAlpha)
{
    const struct { float fade; int overlays; uint32_t alpha; } cases[] =
        {{0.0f, 0, 0}, {0.5f, 1, 127}, {0.999f, 1, 254}, {-0.5f, 1, 0}};
    for (const auto& c : cases) {
        device_.ClearLog();
        renderer_.Render(Vec4(1, 0, 0.5f, 1), c.fade);
        const std::vector<NullDrawCall> draws = DrawsOfFormat(ScreenColorVertex::kFvf);
        ASSERT_EQ(static_cast<int>(draws.size()), c.overlays) << c.fade;
        if (draws.empty()) continue;
        const auto v = VerticesOf<ScreenColorVertex>(draws[0]);
        ASSERT_EQ(v.size(), 6u);
        EXPECT_EQ(v[0].color, PackColor(c.alpha, 255, 0, 127));
        EXPECT_EQ(std::pair(v[2].x, v[2].y), std::pair(static_cast<float>(kWidth), static_cast<float>(kHeight)));
        EXPECT_EQ(std::pair(draws[0].srcBlend, draws[0].destBlend), std::pair(uint32_t{Blend::SrcAlpha}, uint32_t{Blend::InvSrcAlpha}));
    }
}

// The blur along y goes into a target of the glow targets' width and the display's height, which is
// then spread across the back buffer, interpolated between the glow texels' centres.
TEST_F(RendererTest, GlowDrawsGlowingMaterialsSmallThenBlursAlongXThenYOntoTheBackBufferOnlyWhenEnabled)
{
    Material glowing, dark;
    glowing.glow = true;
    glowing.diffuse = Vec4(1, 0.5f, 0, 1);
    SceneObject& hot = AddBoxObject(glowing);
    SceneObject& cold = AddBoxObject(dark);
    // With glow off the glow targets are never bound.
    renderer_.AddObject(hot, Matrix());
    RenderFrame();
    for (const NullClear& clear : device_.Clears()) EXPECT_TRUE(clear.renderTarget->IsBackBuffer());
    for (const NullDrawCall& draw : device_.Draws()) EXPECT_TRUE(draw.renderTarget->IsBackBuffer());
    EXPECT_TRUE(DrawsOfFormat(QuadVertex::kFvf).empty());

    device_.ClearLog();
    renderer_.AddObject(hot, Matrix());
    renderer_.AddObject(cold, Matrix::Translation(4, 0, 0));
    renderer_.SetGlowEnabled(true);
    renderer_.SetBlur(2.0f);
    renderer_.SetGlowColor(Vec4(0.5f, 0.5f, 1, 1));
    RenderFrame();

    RenderSurface* first = renderer_.GlowTarget(0)->GetSurfaceLevel0();
    RenderSurface* second = renderer_.GlowTarget(1)->GetSurfaceLevel0();
    EXPECT_EQ(std::pair(renderer_.GlowTarget(0)->Width(), renderer_.GlowTarget(0)->Height()), std::pair(256, 128));
    EXPECT_EQ(renderer_.GlowTarget(2), nullptr);
    ASSERT_EQ(device_.Clears().size(), 2u);
    EXPECT_EQ(std::pair(device_.Clears()[1].renderTarget, device_.Clears()[1].color), std::pair(first, 0xff000000u));
    int meshDrawsIntoGlow = 0;
    for (const NullDrawCall& draw : device_.Draws()) meshDrawsIntoGlow += draw.indexed && draw.renderTarget == first;
    EXPECT_EQ(meshDrawsIntoGlow, 2);  // the glowing box and the black occluder

    const std::vector<NullDrawCall> quads = DrawsOfFormat(QuadVertex::kFvf);
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(std::tuple(quads[0].renderTarget, quads[0].stages[0].texture, quads[0].blending),
              std::tuple(second, renderer_.GlowTarget(0), false));
    EXPECT_EQ(std::tuple(quads[1].renderTarget, quads[1].stages[0].texture, quads[1].blending),
              std::tuple(first, renderer_.GlowTarget(1), false));
    const std::vector<NullDrawCall> spread = DrawsOfFormat(ScreenVertex::kFvf);
    ASSERT_EQ(spread.size(), 1u);
    EXPECT_TRUE(spread[0].renderTarget->IsBackBuffer());
    EXPECT_EQ(std::tuple(spread[0].stages[0].texture, spread[0].blending, spread[0].srcBlend, spread[0].destBlend),
              std::tuple(renderer_.GlowTarget(0), true, uint32_t{Blend::One}, uint32_t{Blend::One}));
    const auto corners = VerticesOf<ScreenVertex>(spread[0]);
    ASSERT_EQ(corners.size(), 6u);
    EXPECT_FLOAT_EQ(corners[0].x, -0.5f);
    EXPECT_FLOAT_EQ(corners[4].y, kHeight - 0.5f);
    EXPECT_FLOAT_EQ(corners[0].u, 0.5f / 256 - 0.5f / kWidth);
    EXPECT_FLOAT_EQ(corners[0].v, 0.5f / 128 - 0.5f / kHeight);
    EXPECT_FLOAT_EQ(corners[4].u - corners[0].u, 1.0f);
    EXPECT_FLOAT_EQ(corners[4].v - corners[0].v, 1.0f);
    for (const QuadVertex& corner : VerticesOf<QuadVertex>(quads[0])) {
        EXPECT_EQ(std::pair(corner.u, corner.v), std::pair((corner.x + 1) / 2, (corner.y + 1) / 2));
    }
    EXPECT_FLOAT_EQ(ConstantOf(quads[1].pixelShader, "glowColor"), 0.5f);
    EXPECT_FLOAT_EQ(ConstantOf(quads[1].vertexShader, "blur"), 2.0f);
    EXPECT_EQ(ConstantOf(quads[1].vertexShader, "hdir"), 0.0f);
    EXPECT_EQ(device_.GetRenderState(RenderState::CullMode), Cull::CW);
    EXPECT_EQ(device_.GetPixelShader(), nullptr);
}

TEST(RendererWithoutSetUp, RendersWithoutShadersOrTargetsAndWithoutADevice)
{
    Renderer renderer;
    Particle particle;
    Sprite sprite;
    renderer.AddParticle(&particle);
    renderer.AddSprite(&sprite);
    renderer.SetGlowEnabled(true);
    {
        ScopedCurrentDevice none(nullptr);
        renderer.Render(Vec4(0, 0, 0, 1), 0.5f);  // nothing to draw on: nothing happens
        EXPECT_EQ(renderer.FrameCounter(), 0u);
        EXPECT_FALSE(renderer.SetUpScene());
    }
    NullDevice device;
    ScopedCurrentDevice current(&device);
    renderer.Render(Vec4(0, 0, 0, 1), 0.5f);
    EXPECT_EQ(renderer.FrameCounter(), 1u);
    EXPECT_EQ(renderer.Particles().Count(), 0u);
    // Without their shaders the particle and glow passes are skipped: the sprite and the fade
    // are all that is drawn.
    for (const NullDrawCall& draw : device.Draws()) {
        EXPECT_TRUE(draw.renderTarget->IsBackBuffer());
        EXPECT_NE(draw.fvf, ParticleVertex::kFvf);
        EXPECT_NE(draw.fvf, QuadVertex::kFvf);
    }
    EXPECT_EQ(device.Draws().size(), 2u);
}

TEST_F(RendererTest, EveryTextureOfTheSceneIsBoundWrappedAndFilteredAlsoAfterAGlowFrame)
{
    TextureFilter::Set(2, 2, 2, 1);
    Material textured;
    textured.texture = &NewTexture();
    textured.bumpMap = &NewTexture();
    textured.glow = true;
    SceneObject& box = AddBoxObject(textured);
    PointLight light;
    light.position = Vec4(0, 0, -5);
    light.colour = Vec4(1, 1, 1, 1);
    light.radius = 50.0f;
    Particle particle;
    particle.texture = textured.texture;
    particle.blendMode = 1;
    Sprite sprite;
    sprite.texture = textured.texture;
    renderer_.SetGlowEnabled(true);
    for (int frame = 0; frame < 2; ++frame) {
        device_.ClearLog();
        renderer_.AddObject(box, Matrix());
        renderer_.AddLight(&light);
        renderer_.AddParticle(&particle);
        renderer_.AddSprite(&sprite);
        RenderFrame();
    }
    // The second frame follows the glow pass's clamped sampler 0: every scene texture wraps again
    // and filters linearly between linear mip levels.
    int sceneTextureDraws = 0;
    for (const NullDrawCall& draw : device_.Draws()) {
        for (const NullDrawCall::Stage& stage : draw.stages) {
            if (stage.texture != textured.texture->Device() && stage.texture != textured.bumpMap->Device()) continue;
            ++sceneTextureDraws;
            EXPECT_EQ(stage.addressU, TextureAddress::Wrap);
            EXPECT_EQ(stage.addressV, TextureAddress::Wrap);
            EXPECT_EQ(stage.minFilter, TextureFilterType::Linear);
            EXPECT_EQ(stage.mipFilter, TextureFilterType::Linear);
        }
    }
    EXPECT_GE(sceneTextureDraws, 5);  // surface (normal and colour maps), particle, glow, sprite
    TextureFilter::Reset();
}
