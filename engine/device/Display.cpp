#include "engine/device/Display.h"

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/OpenGLDevice.h"
#include "engine/platform/Log.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/Window.h"

namespace {

struct Mode {
    int width;
    int height;
    int refresh;
};

struct DisplayState {
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    uint32_t bits = 0;
    uint32_t refresh = 0;
    uint32_t multisample = 0;
    std::unique_ptr<Window> window;
    std::unique_ptr<OpenGLDevice> device;
    bool videoForModes = false;  // a hold on SDL's video taken to list modes before Init
    bool exitHandlerRegistered = false;
};

DisplayState& State()
{
    static DisplayState state;
    return state;
}

uint32_t SupportedSamples(uint32_t multisample)
{
    return multisample == 2 || multisample == 4 || multisample == 6 ? multisample : 0;
}

bool HoldVideo()
{
    DisplayState& state = State();
    if (state.videoForModes) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    state.videoForModes = true;
    return true;
}

bool FormatMatches(uint32_t format, uint32_t bits)
{
    const int formatBits = static_cast<int>(SDL_BITSPERPIXEL(format));
    return bits == 16 ? formatBits == 16 : (formatBits == 24 || formatBits == 32);
}

std::vector<Mode> Modes(uint32_t bits)
{
    std::vector<Mode> modes;
    if (!HoldVideo()) return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || !FormatMatches(mode.format, bits)) continue;
        bool seen = false;
        for (const Mode& m : modes) seen = seen || (m.width == mode.w && m.height == mode.h && m.refresh == mode.refresh_rate);
        if (!seen) modes.push_back({mode.w, mode.h, mode.refresh_rate});
    }
    return modes;
}

bool ModeAt(uint32_t bits, int index, Mode* mode)
{
    const std::vector<Mode> modes = Modes(bits);
    if (index < 0 || static_cast<size_t>(index) >= modes.size()) return false;
    *mode = modes[static_cast<size_t>(index)];
    return true;
}

void ReleaseAtExit()
{
    Display::Release();
}

}  // namespace

bool Display::Init(int width, int height, bool fullscreen, uint32_t bits, uint32_t refresh, uint32_t multisample)
{
    DisplayState& state = State();
    if (!state.exitHandlerRegistered) {
        std::atexit(ReleaseAtExit);
        state.exitHandlerRegistered = true;
    }
    Release();
    MessageQueue::SetWindowProcedure(WindowProcedure);
    state.window = Window::Create("Harnengine", width, height, static_cast<int>(SupportedSamples(multisample)));
    if (!state.window) return false;
    state.window->Show();
    std::string error;
    state.device = OpenGLDevice::Create(state.window->Handle(), &error);
    if (!state.device) {
        Log::Print(4, "Cannot create the graphics device: %s\n", error.c_str());
        return false;
    }
    GraphicsDevice::SetCurrent(state.device.get());
    Log::Print(1, "device: %s\n", state.device->RendererName().c_str());
    ChangeMode(width, height, fullscreen, bits, refresh, multisample);
    return true;
}

bool Display::ChangeMode(int width, int height, bool fullscreen, uint32_t bits, uint32_t refresh, uint32_t multisample)
{
    Log::Section(1, "Display Inicialize/Change");
    Log::Print(1, "width: %d\n", width);
    Log::Print(1, "height: %d\n", height);
    Log::Print(1, "bits: %d\n", static_cast<int>(bits));
    Log::Print(1, "fullscreen: %d\n", fullscreen ? 1 : 0);
    Log::Print(1, "frequence: %d\n", static_cast<int>(refresh));
    Log::Print(1, "samples: %d\n", static_cast<int>(multisample));
    DisplayState& state = State();
    if (!state.window || !state.device ||
        !state.window->SetMode(width, height, fullscreen, static_cast<int>(refresh))) {
        Log::Print(1, "Failed to inicialize\n");
        return false;
    }
    // Presenting waits for the refresh in a window too: players expect no tearing, and a game
    // that draws as fast as it can in a window only heats the machine.
    state.device->SetSwapInterval(true);
    state.device->SetBackBufferSize(width, height);
    state.device->SetRenderTarget(0, nullptr);
    Log::Print(1, "Sucesseful\n");
    state.width = width;
    state.height = height;
    state.fullscreen = fullscreen;
    state.bits = bits;
    state.refresh = refresh;
    state.multisample = multisample;
    return true;
}

void Display::Release()
{
    DisplayState& state = State();
    if (state.device && GraphicsDevice::Current() == state.device.get()) GraphicsDevice::SetCurrent(nullptr);
    state.device.reset();
    state.window.reset();
    if (MessageQueue::GetWindowProcedure() == WindowProcedure) MessageQueue::SetWindowProcedure(nullptr);
    if (state.videoForModes) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        state.videoForModes = false;
    }
}

bool Display::ToggleFullscreen()
{
    const DisplayState& state = State();
    if (!state.window) return false;
    return ChangeMode(state.width, state.height, !state.fullscreen, state.bits, state.refresh, state.multisample);
}

int Display::ModeCount(uint32_t bits)
{
    return static_cast<int>(Modes(bits).size());
}

int Display::ModeWidth(uint32_t bits, int index)
{
    Mode mode{};
    return ModeAt(bits, index, &mode) ? mode.width : 0;
}

int Display::ModeHeight(uint32_t bits, int index)
{
    Mode mode{};
    return ModeAt(bits, index, &mode) ? mode.height : 0;
}

int Display::ModeRefresh(uint32_t bits, int index)
{
    Mode mode{};
    return ModeAt(bits, index, &mode) ? mode.refresh : 0;
}

GraphicsDevice* Display::Device() { return State().device.get(); }
Window* Display::GetWindow() { return State().window.get(); }
int Display::Width() { return State().width; }
int Display::Height() { return State().height; }
bool Display::Fullscreen() { return State().fullscreen; }
uint32_t Display::Bits() { return State().bits; }
uint32_t Display::Refresh() { return State().refresh; }
uint32_t Display::Multisample() { return State().multisample; }

int64_t Display::WindowProcedure(const Message& message)
{
    if (message.message == WM_CLOSE || (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)) {
        MessageQueue::PostQuitMessage(0);
        return 0;
    }
    // A held Alt+Enter repeats: only the first press switches.
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_RETURN && message.lParam == 0) ToggleFullscreen();
    return 0;
}
