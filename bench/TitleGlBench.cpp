// The title screen's frame on the OpenGL device: the level's scenery from "data.qzr" animated and
// seen through "introCam", ambient 0.075, glow on with blur 0.012, the banner and the prompt, as
// the title screen draws it once faded in. The frames are spread evenly over the camera's whole
// flight, so the mean covers every part of it and the slowest frame names the busiest moment.
// Run inside a display, after the build has made data.qzr:
//     tests/with_display.sh build/default/bench/bench_title_gl [--frames N] [--size WxH]
// Without --size it measures 640 × 480 and 1280 × 960 (give Xvfb a screen that large).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/GlBench.h"
#include "engine/device/TextureFilter.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/render/Sprite.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"

namespace {

const std::string kArchive = std::string(HARN_BINARY_DIR) + "/data.qzr";
constexpr float kAmbient = 0.075f;
constexpr float kBlur = 0.012f;
constexpr float kPromptBlinksPerSecond = 6.0f;
constexpr int kFillPasses = 100;

class TitleScene {
public:
    bool Load(Renderer& renderer)
    {
        if (!model_.Load("level.3df")) return false;
        loopSeconds_ = static_cast<float>(std::max(model_.FrameCount() - 1, 1)) / SceneModel::kKeysPerSecond;
        banner_.texture = TextureCache::Get("banner.tga");
        banner_.blendMode = 3;
        banner_.topLeft = Vec4(0, 0, 0, 1);
        banner_.bottomRight = Vec4(1, 0.5f, 0, 1);
        prompt_.texture = TextureCache::Get("tetters.jpg");
        prompt_.blendMode = 1;
        prompt_.topLeft = Vec4(0.25f, 0.9f, 0, 1);
        prompt_.bottomRight = Vec4(0.75f, 0.95f, 0, 1);
        renderer.SetBackgroundColor(Vec4(0, 0, 0, 1));
        renderer.SetAmbientColor(Vec4(kAmbient, kAmbient, kAmbient, 1));
        renderer.SetGlowEnabled(true);
        renderer.SetBlur(kBlur);
        renderer.SetGlowColor(Vec4(1, 1, 1, 1));
        return true;
    }

    float LoopSeconds() const { return loopSeconds_; }

    // The frame at `seconds` into the flight: the tracks advance from wherever they stand.
    void Draw(Renderer& renderer, float seconds)
    {
        const float step = std::fmod(seconds - time_ + loopSeconds_, loopSeconds_);
        time_ = seconds;
        const Matrix identity;
        model_.AnimateObjects(renderer, identity, step);
        model_.AnimateLights(renderer, identity, step);
        model_.SelectCamera(renderer, identity, "introCam", step);
        const float p = 0.5f * (std::sin(2.0f * Pi() * kPromptBlinksPerSecond * seconds) + 1.0f);
        prompt_.color = Vec4(p, p, p, 1);
        renderer.AddSprite(&banner_);
        renderer.AddSprite(&prompt_);
        renderer.Render(Vec4(0, 0, 0, 1), 0.0f);
    }

private:
    SceneModel model_;
    Sprite banner_;
    Sprite prompt_;
    float loopSeconds_ = 1.0f;
    float time_ = 0.0f;
};

bool Measure(int width, int height, int frames)
{
    gl_bench::Screen screen;
    if (!gl_bench::Open(width, height, &screen)) return false;
    const double rawFill = gl_bench::RawFillRate(screen, kFillPasses);
    gl_bench::Close(&screen);
    if (!gl_bench::Open(width, height, &screen)) return false;
    const double deviceFill = gl_bench::DeviceFillRate(screen, kFillPasses);
    bool ok = false;
    {
        Renderer renderer;
        TitleScene scene;
        ok = renderer.SetUpScene() && scene.Load(renderer);
        if (ok) {
            const float step = scene.LoopSeconds() / static_cast<float>(frames);
            gl_bench::FrameSource source;
            source.renderer = &renderer;
            source.draw = [&](int i) { scene.Draw(renderer, step * static_cast<float>(i)); };
            const gl_bench::FrameFigures figures = gl_bench::MeasureFrames(screen, source, frames);
            std::printf("fill rate %d x %d: trivial pass %.1f M pixels/s, through the device %.1f M pixels/s\n", width,
                        height, rawFill / 1e6, deviceFill / 1e6);
            gl_bench::PrintFigures("title flyover", screen, figures, rawFill);
            std::printf("  slowest frame at %.1f s of %.1f s\n", step * static_cast<float>(figures.slowestFrame),
                        scene.LoopSeconds());
        } else {
            std::fprintf(stderr, "the renderer or level.3df could not be set up\n");
        }
        TextureCache::Clear();
    }
    gl_bench::Close(&screen);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 96;
    int width = 0, height = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc && gl_bench::ParseSize(argv[i + 1], &width, &height)) {
            ++i;
        } else {
            std::fprintf(stderr, "usage: bench_title_gl [--frames N] [--size WxH]\n");
            return 2;
        }
    }
    if (!std::filesystem::exists(kArchive)) {
        std::fprintf(stderr, "%s has not been built\n", kArchive.c_str());
        return 1;
    }
    ArchivePath = kArchive.c_str();
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
    bool ok = true;
    if (width > 0) {
        ok = Measure(width, height, frames);
    } else {
        ok = Measure(640, 480, frames) && Measure(1280, 960, frames);
    }
    return ok ? 0 : 1;
}
