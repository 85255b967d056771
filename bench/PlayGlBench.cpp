// The level's frame on the OpenGL device at its busiest moment: the game (game/shell's Game) plays
// "teste.lvl" from the build's data.qzr with its autopilot at 1/60 s a frame. A first play draws
// every --every'th frame, each timed on its own, and takes the slowest as the busiest moment; the
// play is then repeated up to that moment and the --frames frames from there are measured as the
// other OpenGL benchmarks measure theirs. The autopilot flies the same way every time.
// Run inside a display, after the build has made data.qzr:
//     tests/with_display.sh build/default/bench/bench_play_gl [--size WxH] [--every N] [--frames N] [--at FRAME]
// Without --size it measures 640 × 480 and 1280 × 960 (give Xvfb a screen that large).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/GlBench.h"
#include "engine/device/TextureFilter.h"
#include "engine/platform/DataDirectory.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/ShaderDirectory.h"
#include "game/shell/Autopilot.h"
#include "game/shell/Game.h"
#include "game/world/InputFeed.h"
#include "game/world/SceneNode.h"

namespace {

constexpr float kStep = 1.0f / 60.0f;  // seconds a frame, as harntool play steps
constexpr int kMaxFrames = 60 * 60 * 5;
constexpr int kFillPasses = 100;
constexpr int kSpanFrames = 600;  // frames summed into one figure of the level's profile

struct Options {
    int width = 0;
    int height = 0;
    int every = 15;
    int frames = 60;
    int at = -1;  // the first frame measured; -1: the busiest moment found by sampling
};

// A play of the game from the level's beginning with the autopilot, on the current device.
class Play {
public:
    explicit Play(Game& game) : game_(game), pilot_(game)
    {
        game_.SetFixedStep(kStep);
        game_.inputFeed = &pilot_;
        game_.BeginPlay();
    }
    ~Play()
    {
        game_.EndPlay();
        game_.inputFeed = nullptr;
    }
    Play(const Play&) = delete;
    Play& operator=(const Play&) = delete;

    int Frame() const { return frame_; }
    bool Over() const { return game_.QuitRequested() || frame_ >= kMaxFrames; }

    // A whole frame of the game, drawn or not, presented.
    void Step(bool draw)
    {
        game_.SetDrawing(draw);
        game_.PlayFrame();
        ++frame_;
    }

    // A frame as World::Step makes it, without the present: the benchmark presents.
    void StepUnpresented()
    {
        game_.input.Update();
        if (game_.inputFeed != nullptr) game_.inputFeed->Apply(game_.input);
        SceneNode::CollisionPass(&game_, game_.root);
        SceneNode::UpdatePass(&game_, game_.root, kStep);
        SceneNode::DrawPass(&game_, game_.root);
        game_.renderer.Render(game_.fadeColour, World::RenderedFade(game_.fade));
        ++frame_;
    }

private:
    Game& game_;
    Autopilot pilot_;
    int frame_ = 0;
};

// Plays the whole level drawing every `every`th frame and returns the slowest of those.
// The busiest moment is where three samples in a row take the most processor time (all threads,
// so that other programs on the machine count less than with the clock on the wall).
int BusiestFrame(gl_bench::Screen& screen, Game& game, int every)
{
    Play play(game);
    std::vector<int> frames;
    std::vector<double> cpuMs;
    while (!play.Over()) {
        const bool draw = play.Frame() % every == 0;
        const int frame = play.Frame();
        if (draw) gl_bench::Drain(screen.device.get());
        const double from = gl_bench::ProcessCpuMs();
        play.Step(draw);
        if (!draw || frame == 0) continue;
        gl_bench::Drain(screen.device.get());
        frames.push_back(frame);
        cpuMs.push_back(gl_bench::ProcessCpuMs() - from);
    }
    size_t busiest = 0;
    double most = 0;
    for (size_t i = 1; i + 1 < cpuMs.size(); ++i) {
        const double sum = cpuMs[i - 1] + cpuMs[i] + cpuMs[i + 1];
        if (sum > most) {
            most = sum;
            busiest = i;
        }
    }
    std::printf("sampled every %d frames of %d: busiest at frame %d (%.1f s), %.1f ms of processor time a frame there;\n"
                "  mean processor ms a frame by %d s of play:",
                every, play.Frame(), frames[busiest], frames[busiest] * kStep, most / 3, kSpanFrames / 60);
    for (size_t first = 0; first < frames.size();) {
        double sum = 0;
        size_t end = first;
        while (end < frames.size() && frames[end] / kSpanFrames == frames[first] / kSpanFrames) sum += cpuMs[end++];
        std::printf(" %.0f", sum / static_cast<double>(end - first));
        first = end;
    }
    std::printf("\n");
    return frames[busiest];
}

// Measures from options.at, or from the busiest moment when that is -1; the first frame measured,
// or -1 when there is no window.
int Measure(const Options& options, int width, int height)
{
    gl_bench::Screen screen;
    if (!gl_bench::Open(width, height, &screen)) return -1;
    const double rawFill = gl_bench::RawFillRate(screen, kFillPasses);
    gl_bench::Close(&screen);
    if (!gl_bench::Open(width, height, &screen)) return -1;
    Game game;  // goes before the screen's device
    const int first = options.at >= 0 ? options.at : std::max(0, BusiestFrame(screen, game, options.every) - options.frames / 2);
    std::unique_ptr<Play> play;
    gl_bench::FrameSource source;
    source.renderer = &game.renderer;
    source.rewind = [&] {
        play.reset();
        play = std::make_unique<Play>(game);
        while (play->Frame() < first && !play->Over()) play->Step(false);
    };
    source.draw = [&](int) { play->StepUnpresented(); };
    const gl_bench::FrameFigures figures = gl_bench::MeasureFrames(screen, source, options.frames);
    play.reset();
    char title[64];
    std::snprintf(title, sizeof title, "level, frames %d to %d,", first, first + options.frames - 1);
    gl_bench::PrintFigures(title, screen, figures, rawFill);
    return first;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!gl_bench::ParseSize(argv[++i], &options->width, &options->height)) return false;
        } else if (std::strcmp(argv[i], "--every") == 0 && hasValue) {
            options->every = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
            options->frames = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--at") == 0 && hasValue) {
            options->at = std::max(0, std::atoi(argv[++i]));
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: bench_play_gl [--size WxH] [--every N] [--frames N] [--at FRAME]\n");
        return 2;
    }
    static const std::string archive = std::string(HARN_BINARY_DIR) + "/data.qzr";
    if (!std::filesystem::exists(archive)) {
        std::fprintf(stderr, "%s has not been built\n", archive.c_str());
        return 1;
    }
    ArchivePath = archive.c_str();
    DataDirectory::Set(HARN_BINARY_DIR);
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    TextureFilter::Set(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1);
    bool ok = true;
    if (options.width > 0) {
        ok = Measure(options, options.width, options.height) >= 0;
    } else {
        options.at = Measure(options, 640, 480);
        ok = options.at >= 0 && Measure(options, 1280, 960) >= 0;
    }
    ArchivePath = nullptr;
    return ok ? 0 : 1;
}
