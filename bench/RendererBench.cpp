// CPU time of Renderer::Render on the null device: instances × lights with 1,000 particles, the
// submission of the frame (AddObject, AddLight, AddParticle) included, as the draw pass does it.
#include <benchmark/benchmark.h>

#include <deque>
#include <memory>
#include <vector>

#include "engine/device/NullDevice.h"
#include "engine/render/Particle.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/Material.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/Texture.h"
#include "tests/render/TestMeshes.h"

namespace {

constexpr int kMaterials = 8;
constexpr int kParticles = 1000;

// Boxes on a grid in front of the camera (some beyond its edges, as a level's scenery is), lights
// among them, particles in two textures and modes.
class Scene {
public:
    Scene(int instances, int lights) : device_(1024, 768), current_(&device_)
    {
        ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
        renderer_.SetUpScene();
        renderer_.SetGlowEnabled(true);
        renderer_.GetCamera().SetProjection(Pi() / 3.0f, 4.0f / 3.0f);
        renderer_.GetCamera().SetLook(Vec4(0, 200, -150), Vec4(0, 0, 60), Vec4(0, 1, 0));
        Picture flat;
        AllocatePicture(flat, 4, 4);
        for (uint8_t& byte : flat.rgba) byte = 200;
        normalMap_.Create(flat);
        for (int i = 0; i < kMaterials; ++i) {
            Material& material = materials_.emplace_back();
            material.bumpMap = &normalMap_;
            material.texture = i % 2 == 0 ? &normalMap_ : nullptr;
            material.glow = i == 0;
            material.alphaMask = i == 2;
        }
        for (int i = 0; i < instances; ++i) {
            objects_.push_back(std::make_unique<SceneObject>());
            objects_.back()->BuildMesh(test_meshes::Box(Vec4(-3, -3, -3), Vec4(3, 3, 3)));
            objects_.back()->SetOwner(&materials_[static_cast<size_t>(i % kMaterials)]);
            const int side = 71;  // 5,000 instances fill a 71 × 71 grid
            worlds_.push_back(Matrix::Translation(static_cast<float>(i % side - side / 2) * 9.0f, 0.0f,
                                                  static_cast<float>(i / side) * 9.0f));
        }
        for (int i = 0; i < lights; ++i) {
            PointLight& light = lights_.emplace_back();
            light.position = Vec4(static_cast<float>((i * 53) % 300 - 150), 20.0f, static_cast<float>((i * 37) % 400));
            light.colour = Vec4(1, 0.8f, 0.6f, 1);
            light.radius = 80.0f;
        }
        particles_.resize(kParticles);
        for (int i = 0; i < kParticles; ++i) {
            Particle& p = particles_[static_cast<size_t>(i)];
            p.position = Vec4(static_cast<float>((i * 7919) % 300 - 150), 10.0f, static_cast<float>((i * 104729) % 500));
            p.size = 3.0f;
            p.blendMode = i % 3 == 0 ? 3 : 1;
            p.texture = i % 5 == 0 ? nullptr : &normalMap_;
        }
    }
    ~Scene() { ShaderDirectory::Set(""); }

    // Submits and renders one frame; the draw calls it made.
    size_t Frame()
    {
        for (size_t i = 0; i < objects_.size(); ++i) renderer_.AddObject(*objects_[i], worlds_[i]);
        for (PointLight& light : lights_) renderer_.AddLight(&light);
        for (Particle& particle : particles_) renderer_.AddParticle(&particle);
        renderer_.Render(Vec4(0, 0, 0, 1), 0.0f);
        const size_t draws = device_.Draws().size();
        device_.ClearLog();
        return draws;
    }

private:
    NullDevice device_;
    ScopedCurrentDevice current_;
    Renderer renderer_;
    Texture normalMap_;
    std::deque<Material> materials_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    std::vector<Matrix> worlds_;
    std::deque<PointLight> lights_;
    std::vector<Particle> particles_;
};

void BM_RendererRender(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    size_t draws = scene.Frame();
    for (auto _ : state) {
        draws = scene.Frame();
        benchmark::ClobberMemory();
    }
    state.counters["draws"] = static_cast<double>(draws);
}

}  // namespace

BENCHMARK(BM_RendererRender)
    ->ArgsProduct({{50, 500, 5000}, {1, 4, 16}})
    ->Unit(benchmark::kMicrosecond);
