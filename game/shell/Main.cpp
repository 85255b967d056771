#include "game/shell/Main.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/platform/Log.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/SdlPerformanceCounter.h"
#include "engine/platform/SoundSystem.h"
#include "engine/device/Display.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/device/TextureFilter.h"
#include "engine/platform/DataDirectory.h"
#include "game/shell/DataCheck.h"
#include "game/shell/Game.h"
#include "game/shell/ReplayStore.h"
#include "game/shell/SettingsDialog.h"
#include "game/shell/TitleScreen.h"

namespace {

constexpr uint32_t kColourBits = 32;
constexpr uint32_t kNoMultisampling = 0;
constexpr int kSoundChannels = 24;
constexpr int kMixRate = 44100;  // Hz
constexpr int kSoundDriver = 1;
constexpr float kBlur = 0.012f;  // texture coordinates
constexpr uint32_t kLinearFilter = 2;
constexpr uint32_t kNoAnisotropy = 1;

void SetUpTitleRenderer(Renderer* renderer)
{
    renderer->SetUpScene();
    renderer->SetBackgroundColor({0.0f, 0.0f, 0.0f, 1.0f});
    renderer->SetAmbientColor({0.2f, 0.2f, 0.2f, 1.0f});
    renderer->SetGlowEnabled(true);
    renderer->SetBlur(kBlur);
    renderer->SetGlowColor({1.0f, 1.0f, 1.0f, 1.0f});
}

double MillisecondsSince(uint64_t count)
{
    return static_cast<double>(SDL_GetPerformanceCounter() - count) * 1000.0 / static_cast<double>(SDL_GetPerformanceFrequency());
}

int CannotShow(const char* what)
{
    const std::string line = std::string("zelmar: cannot open ") + what + "; see the lines above";
    std::fprintf(stderr, "%s\n", line.c_str());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Zelmar cannot start", line.c_str(), nullptr);
    return 1;
}

// One level play, recorded and kept among the replays.
void PlayLevel(Game& game)
{
    Replay replay;
    game.Record(&replay);
    game.Run();
    game.Record(nullptr);
    ReplayStore::Keep(replay);
}

// The display, the title renderer, the texture filter and the sound for the run, then the title
// screen and the level in turn until the title screen returns false. The objects go in the
// reverse order of their making, once the display is released: the game, the title model, the
// sound, the title renderer.
int Play(const Settings& settings, uint64_t chosen)
{
    if (!Display::Init(settings.width, settings.height, !settings.windowed, kColourBits,
                       static_cast<uint32_t>(settings.refreshRate), kNoMultisampling)) {
        Display::Release();
        return CannotShow("the game window");
    }
    ArchivePath = DataDirectory::kArchiveName;
    Renderer titleRenderer;
    SetUpTitleRenderer(&titleRenderer);
    TextureFilter::Set(kLinearFilter, kLinearFilter, kLinearFilter, kNoAnisotropy);
    SoundSystem sound;
    sound.Start(kSoundChannels, kMixRate, kSoundDriver);
    SdlPerformanceCounter counter;
    TitleScreen title(counter);
    Game game;
    // How long each showing took to appear: after the mode was chosen, then after each level.
    int showings = 0;
    uint64_t since = chosen;
    const char* after = "the mode was chosen";
    title.SetFrameObserver([&](const TitleFrame& frame) {
        if (frame.t == 0.0f) Log::Print(1, "title: showing %d drawn %.0f ms after %s\n", ++showings, MillisecondsSince(since), after);
    });
    while (title.Run(titleRenderer)) {
        PlayLevel(game);
        since = SDL_GetPerformanceCounter();
        after = "the level ended";
    }
    Display::Release();
    return 0;
}

}  // namespace

int Main()
{
    std::string dataDirectory;
    if (!DataCheck::Run(&dataDirectory)) return 1;
    // The game names its files relative to the data folder: the archive, the sounds and the music.
    if (chdir(dataDirectory.c_str()) != 0) {
        std::fprintf(stderr, "zelmar: cannot enter the data folder %s\n", dataDirectory.c_str());
        return 1;
    }
    ShaderDirectory::Set(dataDirectory);
    const Settings settings = SettingsDialog::Run(DataDirectory::kArchiveName);
    if (settings.failed) return CannotShow("the settings dialog");
    if (settings.cancelled) return 0;
    return Play(settings, SDL_GetPerformanceCounter());
}
