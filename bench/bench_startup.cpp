// Where the game's waits go: from the player's OK to the title screen's first frame, and from the
// end of the title's fade-out to the level's first frame, step by step as zelmar takes them, on
// the real OpenGL device and the real data (loaded from the archive each time). Run it inside a
// display:
//     tests/with_display.sh build/default/bench/bench_startup [DATA_DIR] [ROUNDS]
// The first round pays what a process pays once (the driver's first shaders and mipmaps); the
// median of the others is what a later start costs. Wall-clock milliseconds, and the CPU time of
// the process (all its threads, the driver's included), which a busy machine disturbs less.
#include <SDL.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/device/TextureFilter.h"
#include "engine/math/Matrix.h"
#include "engine/platform/DataDirectory.h"
#include "engine/platform/Fsound.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/SoundSystem.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"
#include "game/shell/Game.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024;  // the virtual display's own size: full screen without a mode change
constexpr int kHeight = 768;

double CpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

struct Phases {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> wall;
    std::map<std::string, std::vector<double>> cpu;
    Clock::time_point mark;
    double cpuMark = 0.0;

    void Start()
    {
        mark = Clock::now();
        cpuMark = CpuMilliseconds();
    }
    void Lap(const std::string& phase)
    {
        const Clock::time_point now = Clock::now();
        const double cpuNow = CpuMilliseconds();
        if (!wall.count(phase)) order.push_back(phase);
        wall[phase].push_back(std::chrono::duration<double, std::milli>(now - mark).count());
        cpu[phase].push_back(cpuNow - cpuMark);
        mark = now;
        cpuMark = cpuNow;
    }
};

void Present()
{
    if (GraphicsDevice* device = GraphicsDevice::Current()) device->Present();
}

// One start of the game as zelmar makes it, up to the level's first frame.
void Round(Phases& phases)
{
    phases.Start();
    Display::Init(kWidth, kHeight, true, 32, 60, 0);
    phases.Lap("display and window");
    ArchivePath = DataDirectory::kArchiveName;
    {
        Renderer title;
        title.SetUpScene();
        TextureFilter::Set(2, 2, 2, 1);
        phases.Lap("title renderer (shaders)");
        SoundSystem sound;
        sound.Start(24, 44100, 1);
        Game game;
        phases.Lap("sound and game");
        SceneModel scenery;
        scenery.Load("level.3df");
        phases.Lap("title scenery (archive, meshes, textures)");
        TextureCache::Get("banner.tga");
        TextureCache::Get("tetters.jpg");
        phases.Lap("title pictures");
        FMUSIC_MODULE* song = FMUSIC_LoadSong(DataDirectory::PathOf(Game::kMusicName).c_str());
        FMUSIC_PlaySong(song);
        phases.Lap("title music");
        title.Render({0, 0, 0, 1}, 1.0f);
        Present();
        phases.Lap("title's first frame (the clear)");
        // The title shows the scenery before any level starts: the driver has met its shaders.
        scenery.AnimateObjects(title, Matrix::Identity(), 0.1f);
        scenery.SelectCamera(title, Matrix::Identity(), "introCam", 0.1f);
        title.Render({0, 0, 0, 1}, 0.5f);
        Present();
        FMUSIC_StopSong(song);
        FMUSIC_FreeSong(song);
        scenery.Clear();
        TextureCache::Clear();
        phases.Start();
        game.BeginPlay();
        phases.Lap("level loads");
        game.PlayFrame();
        phases.Lap("level's first frame");
        game.EndPlay();
    }
    Display::Release();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    // Absolute: the game works in its data folder, as zelmar does.
    const std::string data = std::filesystem::absolute(argc > 1 ? argv[1] : HARN_BINARY_DIR).string() + "/";
    const int rounds = argc > 2 ? std::max(2, std::atoi(argv[2])) : 5;
    DataDirectory::Set(data);
    ShaderDirectory::Set(data);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string archive = DataDirectory::PathOf(DataDirectory::kArchiveName);
    if (std::FILE* probe = std::fopen(archive.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "bench_startup: no %s\n", archive.c_str());
        return 1;
    }
    if (chdir(data.c_str()) != 0) return 1;
    Phases phases;
    for (int i = 0; i < rounds; ++i) Round(phases);

    std::printf("%-44s %18s %18s\n", "milliseconds, wall (CPU)", "first", "median of others");
    double totals[2][4] = {};
    int part = 0;
    for (const std::string& phase : phases.order) {
        const std::vector<double>& wall = phases.wall[phase];
        const std::vector<double>& cpu = phases.cpu[phase];
        const double figures[4] = {wall.front(), cpu.front(), Median({wall.begin() + 1, wall.end()}), Median({cpu.begin() + 1, cpu.end()})};
        std::printf("%-44s %9.1f (%6.1f) %9.1f (%6.1f)\n", phase.c_str(), figures[0], figures[1], figures[2], figures[3]);
        if (phase == "level loads") part = 1;
        for (int i = 0; i < 4; ++i) totals[part][i] += figures[i];
    }
    const char* names[2] = {"OK to the title's first frame", "title's end to the level's first frame"};
    for (int i = 0; i < 2; ++i)
        std::printf("%-44s %9.1f (%6.1f) %9.1f (%6.1f)\n", names[i], totals[i][0], totals[i][1], totals[i][2], totals[i][3]);
    return 0;
}
