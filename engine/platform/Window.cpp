#include "engine/platform/Window.h"

#include <SDL.h>

#include <cstring>

#include "engine/platform/Log.h"

namespace {

void SetContextAttributes(int multisample)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, multisample > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, multisample > 0 ? multisample : 0);
}

SDL_Window* CreateSdlWindow(const char* title, int width, int height, int multisample)
{
    SetContextAttributes(multisample);
    return SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

// Whether the display offers exactly width × height and the video driver lets programs switch
// modes; *mode is then the mode to switch to.
bool CanSwitchTo(int display, int width, int height, int refresh, SDL_DisplayMode* mode)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "wayland") == 0) return false;
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    wanted.refresh_rate = refresh;
    SDL_DisplayMode closest{};
    if (!SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest)) return false;
    if (closest.w != width || closest.h != height) return false;
    *mode = closest;
    return true;
}

}  // namespace

std::unique_ptr<Window> Window::Create(const char* title, int width, int height, int multisample)
{
    if (width <= 0 || height <= 0) return nullptr;
    // Closing the window is a message to the game, not the end of the program.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Log::Print(4, "Cannot start the video system: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_Window* window = CreateSdlWindow(title, width, height, multisample);
    if (!window && multisample > 0) window = CreateSdlWindow(title, width, height, 0);
    if (!window) {
        Log::Print(4, "Cannot create the window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<Window>(new Window(window));
}

Window::~Window()
{
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void Window::Show()
{
    SDL_ShowWindow(window_);
}

bool Window::SetMode(int width, int height, bool fullscreen, int refresh)
{
    if (width <= 0 || height <= 0) return false;
    keptDesktopMode_ = false;
    if (!fullscreen) {
        if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
        SDL_SetWindowSize(window_, width, height);
        SDL_SetWindowPosition(window_, 0, 0);
        return true;
    }
    SDL_DisplayMode mode{};
    if (CanSwitchTo(SDL_GetWindowDisplayIndex(window_), width, height, refresh, &mode) &&
        SDL_SetWindowDisplayMode(window_, &mode) == 0) {
        SDL_SetWindowSize(window_, width, height);
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0) return true;
    }
    keptDesktopMode_ = true;
    return SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void Window::DrawableSize(int* width, int* height) const
{
    SDL_GL_GetDrawableSize(window_, width, height);
}
