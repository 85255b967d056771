#pragma once

#include <memory>

struct SDL_Window;

// The game's only window: an SDL window able to carry an OpenGL 3.3 core context (24-bit depth,
// 8-bit stencil, double buffered), at the top-left corner of the display, with a caption and no
// sizing border. Holds a reference on SDL's video subsystem for as long as it lives.
class Window {
public:
    // Null (and a log line at level 4) when SDL's video cannot start or no such window can be made.
    // multisample asks for that many samples per pixel; 0 for none. A window that cannot have the
    // samples is made without them.
    static std::unique_ptr<Window> Create(const char* title, int width, int height, int multisample);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    SDL_Window* Handle() const { return window_; }

    void Show();
    // Windowed: resizes the window to width × height at (0, 0). Full screen: switches the display
    // to width × height at the nearest refresh to refresh Hz where that is possible and wise, and
    // otherwise (Wayland, which does not let programs change the mode; a size the display does
    // not offer; a switch refused) covers the display at the desktop's own mode, leaving the
    // picture's size to the graphics device. False when the window system refuses both.
    bool SetMode(int width, int height, bool fullscreen, int refresh);
    // Whether the last full-screen SetMode kept the desktop's mode.
    bool KeptDesktopMode() const { return keptDesktopMode_; }

    // The drawable size in pixels.
    void DrawableSize(int* width, int* height) const;

private:
    explicit Window(SDL_Window* window) : window_(window) {}
    SDL_Window* window_;
    bool keptDesktopMode_ = false;
};
