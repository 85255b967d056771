#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PlayData.h"
#include "SoundFiles.h"
#include "engine/device/NullDevice.h"
#include "engine/platform/DataDirectory.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/ShaderDirectory.h"
#include "game/actors/DefenderN1.h"
#include "game/shell/Autopilot.h"
#include "game/shell/Game.h"

// bench_game [DATA_DIR]: the CPU time of the game's frames on the null device (everything but a
// real device's own work). The autopilot flies the whole level (the game's data when DATA_DIR or
// the build folder holds it, else a busy stand-in level) at 1/60 s a frame; then a crowd of 300
// live shots and enemies is kept up for 10 s of game time. Targets: a frame at most 0.5 ms, the
// whole level under 1 s of CPU per minute of game time.
namespace {

constexpr float kStep = 1.0f / 60.0f;  // seconds a frame
constexpr int kMaxFrames = 60 * 60 * 10;

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int Nodes(const SceneNode* node)
{
    int count = 0;
    for (const SceneNode* child = node->firstChild; child != nullptr; child = child->next == node->firstChild ? nullptr : child->next)
        count += 1 + Nodes(child);
    return count;
}

struct Frame {
    double cpu;
    int nodes;
};

void WholeLevel(Game& game, NullDevice& device)
{
    Autopilot pilot(game);
    game.inputFeed = &pilot;
    std::vector<Frame> frames;
    game.BeginPlay();
    const double start = CpuSeconds();
    while (!game.QuitRequested() && static_cast<int>(frames.size()) < kMaxFrames) {
        const double before = CpuSeconds();
        game.PlayFrame();
        frames.push_back({CpuSeconds() - before, Nodes(game.root)});
        device.ClearLog();
    }
    const double total = CpuSeconds() - start;
    const char* reason = game.QuitReason() != nullptr ? game.QuitReason() : "frame limit";
    game.EndPlay();
    game.inputFeed = nullptr;

    const double minutes = static_cast<double>(frames.size()) * kStep / 60.0;
    int peak = 0;
    for (const Frame& f : frames) peak = std::max(peak, f.nodes);
    // The busiest moment: every frame with at least 90 % of the most nodes ever alive.
    double busyCpu = 0.0, busyWorst = 0.0;
    int busy = 0;
    for (const Frame& f : frames) {
        if (f.nodes * 10 < peak * 9) continue;
        busyCpu += f.cpu;
        busyWorst = std::max(busyWorst, f.cpu);
        ++busy;
    }
    std::vector<double> cpu;
    for (const Frame& f : frames) cpu.push_back(f.cpu);
    std::sort(cpu.begin(), cpu.end());
    std::printf("whole level (autopilot, stopped by %s): %zu frames, %.1f s of game time\n", reason, frames.size(),
                minutes * 60.0);
    std::printf("  CPU %.3f s in all: %.3f s per minute of game time (target < 1 s)\n", total, total / minutes);
    std::printf("  frame CPU: median %.4f ms, 99th percentile %.4f ms, worst %.4f ms\n", cpu[cpu.size() / 2] * 1e3,
                cpu[cpu.size() * 99 / 100] * 1e3, cpu.back() * 1e3);
    std::printf("  busiest moment (%d frames with %d to %d nodes): mean %.4f ms, worst %.4f ms (target <= 0.5 ms)\n", busy,
                (peak * 9 + 9) / 10, peak, busyCpu / busy * 1e3, busyWorst * 1e3);
}


void Crowd(Game& game, NullDevice& device)
{
    game.BeginPlay();
    game.PlayFrame();
    game.ship.advancing = false;
    constexpr int kDefenders = 130;
    for (int i = 0; i < kDefenders; ++i) {
        auto* defender = dynamic_cast<DefenderN1*>(game.Create("DefenderN1"));
        defender->load(&game);
        defender->speed = 0.0f;
        defender->hitPoints = 1000000;
        defender->fireTimer = static_cast<float>(i % 15) * 0.1f;  // spread their shots over the interval
        // Apart from each other, as a level places them (15 units between centres, more than 7 + 7),
        // and far enough ahead that their shots run out of range before they reach the ship:
        // shots in flight, not a heap of them on one spot.
        defender->position = Vec4(-97.5f + static_cast<float>(i % 14) * 15.0f, 0.0f,
                                  game.ship.position.z + 215.0f + static_cast<float>(i / 14) * 15.0f);
        game.Attach(defender);
    }
    std::vector<double> cpu;
    double passes[4] = {};  // collision, update, draw, render
    int nodes = 0;
    for (int frame = 0; frame < 600; ++frame) {
        if (frame >= 120) nodes += Nodes(game.root);
        // World::Step's parts, timed one by one.
        double mark = CpuSeconds();
        const double before = mark;
        const auto lap = [&](int part) {
            const double now = CpuSeconds();
            if (frame >= 120) passes[part] += now - mark;
            mark = now;
        };
        game.input.Update();
        SceneNode::CollisionPass(&game, game.root);
        lap(0);
        SceneNode::UpdatePass(&game, game.root, kStep);
        lap(1);
        SceneNode::DrawPass(&game, game.root);
        lap(2);
        game.renderer.Render(game.fadeColour, World::RenderedFade(game.fade));
        lap(3);
        if (frame >= 120) cpu.push_back(CpuSeconds() - before);
        device.ClearLog();
        game.ship.health = 5;  // the crowd is for measuring, not for winning
    }
    game.EndPlay();
    double sum = 0.0;
    for (double c : cpu) sum += c;
    const double frames = static_cast<double>(cpu.size());
    std::sort(cpu.begin(), cpu.end());
    std::printf("crowd: %d live nodes on average (%d defenders and their shots)\n", nodes / static_cast<int>(frames), kDefenders);
    std::printf("  frame CPU: mean %.4f ms, median %.4f ms, worst %.4f ms (target <= 0.5 ms)\n", sum / frames * 1e3,
                cpu[cpu.size() / 2] * 1e3, cpu.back() * 1e3);
    std::printf("  of which: collision pass %.4f ms, update %.4f ms, draw %.4f ms, renderer %.4f ms\n", passes[0] / frames * 1e3,
                passes[1] / frames * 1e3, passes[2] / frames * 1e3, passes[3] / frames * 1e3);
}

bool HoldsGameData(const std::string& folder)
{
    ResourceFile script;
    ArchivePath = nullptr;
    static std::string archive;
    archive = folder + "/data.qzr";
    if (!std::filesystem::exists(archive)) return false;
    ArchivePath = archive.c_str();
    const bool found = script.Load("teste.lvl");
    ArchivePath = nullptr;
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    std::string folder = argc > 1 ? argv[1] : HARN_BINARY_DIR;
    TempDir standIn;
    if (HoldsGameData(folder)) {
        std::printf("data: the game's own, from %s\n", folder.c_str());
    } else {
        float length = 0.0f;
        if (!WritePlayData(standIn.Path(""), SyntheticLevelScript(&length), length)) return 1;
        folder = standIn.Path("");
        std::printf("data: the stand-in level (%.0f units long); the game's data was not found\n", static_cast<double>(length));
    }
    static std::string archive;
    archive = folder + "/data.qzr";
    ArchivePath = archive.c_str();
    DataDirectory::Set(folder);

    NullDevice device(1024, 768);
    ScopedCurrentDevice current(&device);
    auto game = std::make_unique<Game>();
    game->SetFixedStep(kStep);
    WholeLevel(*game, device);
    Crowd(*game, device);
    game.reset();
    ArchivePath = nullptr;
    return 0;
}
