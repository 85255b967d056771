#pragma once

#include <cstdint>

#include "engine/platform/Message.h"

class GraphicsDevice;
class Window;

// The game's display: its only window and the rendering device, one for the process. Init makes
// the device current (GraphicsDevice::Current()), Release destroys both. The mode list comes from
// the display's real modes.
class Display {
public:
    // Opens the window "Harnengine" at (0, 0), width × height, and creates the device on it, then
    // applies the mode with ChangeMode (whose result does not count). False, with a level-4 log line
    // saying why, when the window or the device cannot be made; what was made stays for Release.
    // multisample 2, 4 or 6 asks for that many samples; other values for none.
    static bool Init(int width, int height, bool fullscreen, uint32_t bits, uint32_t refresh, uint32_t multisample);
    // Logs the mode, resizes the window or goes full screen (switching the display's mode where it
    // can, else keeping the desktop's and letting the device scale the picture to fit), and sets
    // presenting to wait for the refresh where the driver offers it. The back buffer is
    // width × height in every case. False (logged, stored mode unchanged) when refused.
    static bool ChangeMode(int width, int height, bool fullscreen, uint32_t bits, uint32_t refresh, uint32_t multisample);
    // Destroys device and window. Safe to call twice, and after a failed Init; also runs at exit.
    static void Release();

    // Full screen to a window of the same size and back (Alt+Enter). False when refused.
    static bool ToggleFullscreen();

    // The display's modes of 16-bit colour (bits 16) or of 32-bit colour (any other bits; 24-bit
    // formats count as 32-bit), each size and refresh once. Index out of range gives 0.
    static int ModeCount(uint32_t bits);
    static int ModeWidth(uint32_t bits, int index);
    static int ModeHeight(uint32_t bits, int index);
    static int ModeRefresh(uint32_t bits, int index);

    // The device Init made; null before Init and after Release.
    static GraphicsDevice* Device();
    static Window* GetWindow();

    // The stored mode.
    static int Width();
    static int Height();
    static bool Fullscreen();
    static uint32_t Bits();
    static uint32_t Refresh();
    static uint32_t Multisample();

    // The game window's procedure: a close request and a dispatched Escape key-down post the quit
    // message with code 0; Alt+Enter switches between full screen and a window; everything else is
    // left to the default handling (nothing).
    static int64_t WindowProcedure(const Message& message);
};
