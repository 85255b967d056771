#include "game/shell/Main.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/platform/GameController.h"
#include "engine/platform/Log.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/SdlPerformanceCounter.h"
#include "engine/platform/SoundSystem.h"
#include "engine/render/Display.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/render/TextureFilter.h"
#include "engine/platform/DataDirectory.h"
#include "game/shell/DataCheck.h"
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

// The display, the title renderer and the sound for the run, then the title screen. The level
// joins the loop here: while the title screen returns true, the level is played and the title
// shown again.
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
    // Start and Back reach the loops as Enter and Escape while the controllers are open.
    const std::unique_ptr<GameController> controllers = GameController::Create();
    SdlPerformanceCounter counter;
    TitleScreen title(counter);
    bool shown = false;
    title.SetFrameObserver([&](const TitleFrame&) {
        if (!shown) Log::Print(1, "title: first frame %.0f ms after the mode was chosen\n", MillisecondsSince(chosen));
        shown = true;
    });
    title.Run(titleRenderer);
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
