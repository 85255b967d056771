// Frames per second of the renderer on the OpenGL device, and where the time of a frame goes.
// The scene: 20,000 triangles (a ground of 5,000 and 1,250 boxes of 12), 8 lights, glow on,
// 200 particles; drawn at 640 × 480 and 1280 × 960. Run inside a display:
//     tests/with_display.sh build/default/bench/bench_render_gl [frames]
// Pass times are taken with the device drained after each pass (a one-pixel read), so they add up
// to more than a free-running frame; the frames per second are measured without that (GlBench.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "bench/GlBench.h"
#include "engine/device/NullDevice.h"
#include "engine/render/Particle.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/Material.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneObject.h"
#include "tests/render/TestMeshes.h"
#include "tests/render/TestTextures.h"

namespace {

constexpr int kBoxes = 1250;
constexpr int kLights = 8;
constexpr int kParticles = 200;
constexpr int kFillPasses = 100;

class BenchScene {
public:
    BenchScene()
    {
        const uint8_t cream[3] = {235, 225, 200}, brown[3] = {120, 80, 50}, steel[3] = {110, 130, 150};
        const uint8_t white[3] = {255, 255, 255}, yellow[3] = {255, 220, 60};
        textures_.push_back(test_textures::Bumps(128, 8));
        textures_.push_back(test_textures::Checker(128, 16, cream, brown));
        textures_.push_back(test_textures::Checker(64, 8, white, steel));
        textures_.push_back(test_textures::Spot(32, yellow, true));
        Texture* bumps = textures_[0].get();
        for (int i = 0; i < 4; ++i) {
            Material& material = materials_.emplace_back();
            material.bumpMap = bumps;
            material.texture = i == 3 ? nullptr : textures_[i % 2 == 0 ? 1 : 2].get();
            material.diffuse = i == 3 ? Vec4(1, 0.6f, 0.1f, 1) : Vec4(1, 1, 1, 1);
            material.glow = i == 3;
        }
        ground_ = AddObject(materials_[0], test_meshes::Panel(150.0f, 50));
        box_ = AddObject(materials_[1], test_meshes::Box(Vec4(-2.5f, -2.5f, -2.5f), Vec4(2.5f, 2.5f, 2.5f)));
        glowBox_ = AddObject(materials_[3], test_meshes::Box(Vec4(-2.5f, -2.5f, -2.5f), Vec4(2.5f, 2.5f, 2.5f)));
        for (int i = 0; i < kBoxes; ++i) {
            const float x = static_cast<float>(i % 50) * 6.0f - 147.0f;
            const float z = static_cast<float>(i / 50) * 11.0f - 130.0f;
            Matrix world = Matrix::Translation(x, 3.0f, z);
            world.Rotate(0.3f * static_cast<float>(i), Vec4(0, 1, 0));
            boxWorlds_.push_back(world);
        }
        for (int i = 0; i < kLights; ++i) {
            PointLight& light = lights_.emplace_back();
            const float angle = static_cast<float>(i) * 2.0f * Pi() / kLights;
            light.position = Vec4(90.0f * std::cos(angle), 25.0f, 90.0f * std::sin(angle));
            light.colour = Vec4(0.5f + 0.5f * std::cos(angle), 0.6f, 0.5f + 0.5f * std::sin(angle), 1);
            light.radius = 120.0f;
        }
        particles_.resize(kParticles);
        for (int i = 0; i < kParticles; ++i) {
            Particle& p = particles_[static_cast<size_t>(i)];
            p.position = Vec4(static_cast<float>((i * 37) % 200 - 100), 12.0f, static_cast<float>((i * 53) % 200 - 100));
            p.size = 4.0f;
            p.blendMode = i % 4 == 0 ? 3 : 1;
            p.texture = textures_[3].get();
        }
    }

    void Submit(Renderer& renderer)
    {
        Matrix flat;
        flat.Rotate(Pi() / 2.0f, Vec4(1, 0, 0));
        renderer.AddObject(*ground_, flat);
        for (size_t i = 0; i < boxWorlds_.size(); ++i) {
            renderer.AddObject(i % 10 == 0 ? *glowBox_ : *box_, boxWorlds_[i]);
        }
        for (PointLight& light : lights_) renderer.AddLight(&light);
        for (Particle& particle : particles_) renderer.AddParticle(&particle);
    }

private:
    SceneObject* AddObject(Material& material, MeshData mesh)
    {
        objects_.push_back(std::make_unique<SceneObject>());
        objects_.back()->BuildMesh(std::move(mesh));
        objects_.back()->SetOwner(&material);
        return objects_.back().get();
    }

    std::vector<std::unique_ptr<Texture>> textures_;
    std::deque<Material> materials_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    SceneObject* ground_ = nullptr;
    SceneObject* box_ = nullptr;
    SceneObject* glowBox_ = nullptr;
    std::vector<Matrix> boxWorlds_;
    std::deque<PointLight> lights_;
    std::vector<Particle> particles_;
};

bool Measure(int width, int height, int frames)
{
    gl_bench::Screen screen;
    if (!gl_bench::Open(width, height, &screen)) return false;
    const double rawFill = gl_bench::RawFillRate(screen, kFillPasses);
    gl_bench::Close(&screen);
    if (!gl_bench::Open(width, height, &screen)) return false;
    {
        auto renderer = std::make_unique<Renderer>();
        renderer->SetUpScene();
        renderer->SetGlowEnabled(true);
        renderer->SetBlur(0.012f);
        renderer->SetAmbientColor(Vec4(0.2f, 0.2f, 0.2f, 1));
        renderer->GetCamera().SetProjection(Pi() / 3.0f, static_cast<float>(width) / static_cast<float>(height));
        renderer->GetCamera().SetLook(Vec4(0, 200, -90), Vec4(0, 0, 20), Vec4(0, 1, 0));
        BenchScene scene;
        gl_bench::FrameSource source;
        source.renderer = renderer.get();
        source.draw = [&](int) {
            scene.Submit(*renderer);
            renderer->Render(Vec4(0, 0, 0, 1), 0.0f);
        };
        const gl_bench::FrameFigures figures = gl_bench::MeasureFrames(screen, source, frames);
        gl_bench::PrintFigures("heavy scene", screen, figures, rawFill);
    }
    gl_bench::Close(&screen);
    return true;
}

// The same frame on the null device: its draw calls, all and those of the light pass.
void CountDraws()
{
    NullDevice device(640, 480);
    ScopedCurrentDevice current(&device);
    Renderer renderer;
    renderer.SetUpScene();
    renderer.SetGlowEnabled(true);
    renderer.GetCamera().SetProjection(Pi() / 3.0f, 4.0f / 3.0f);
    renderer.GetCamera().SetLook(Vec4(0, 200, -90), Vec4(0, 0, 20), Vec4(0, 1, 0));
    BenchScene scene;
    scene.Submit(renderer);
    device.ClearLog();
    renderer.Render(Vec4(0, 0, 0, 1), 0.0f);
    size_t lightDraws = 0;
    const std::string lightShader = ShaderDirectory::PathOf("normalmapvertexshader.vsh");
    for (const NullDrawCall& draw : device.Draws()) {
        lightDraws += draw.vertexShader && draw.vertexShader->SourcePath() == lightShader;
    }
    std::printf("draw calls a frame: %zu, of which the light pass %zu\n", device.Draws().size(), lightDraws);
}

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    std::printf("renderer on OpenGL: 20,000 triangles, %d lights, glow on, %d particles, %d frames\n", kLights,
                kParticles, frames);
    CountDraws();
    const bool ok = Measure(640, 480, frames) && Measure(1280, 960, frames);
    return ok ? 0 : 1;
}
