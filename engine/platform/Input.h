#pragma once

#include <cstdint>
#include <memory>

#include "engine/platform/GameController.h"
#include "engine/platform/InputDevice.h"
#include "engine/platform/InputDriver.h"

struct SDL_Window;

// The keyboard with the state of its last read: 256 bytes indexed by key code (KeyCodes.h),
// bit 7 set while the key is held. device is null when it could not be created.
struct KeyboardDevice {
    std::unique_ptr<InputDevice> device;
    uint8_t keys[kKeyboardStateSize] = {};
};

// The mouse with the state of its last read; device is null when it could not be created.
struct MouseDevice {
    std::unique_ptr<InputDevice> device;
    DIMOUSESTATE state = {};
};

// Keyboard, mouse and game controllers read once per frame into memory, where game objects read
// them during their update. keyboard and mouse are null when not requested or after Release;
// readers test them before reading. The controllers need no request: when SDL can open them they
// are read with the others, their stick into controllerState (for steering in proportion) and
// their fire buttons into the mouse's left button, so that code reading the mouse fires with them.
class Input {
public:
    static constexpr int kKeyboard = 1;
    static constexpr int kMouse = 2;

    Input() = default;
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Creates the requested devices (flags: kKeyboard, kMouse) bound to the game window and
    // acquires them. False only when the input system cannot start; a device that cannot be
    // created (no window) stays as a wrapper with a null device and is skipped from then on.
    bool Init(SDL_Window* window, int flags);
    // Reads every present device; one that has lost its acquisition is acquired again first, and
    // keeps its previous state when that fails, except that the mouse's motion then reads 0.
    // Returns true.
    bool Update();
    // Both clear the key bytes first, so that a key held while the focus goes reads as released.
    void Acquire();
    void Unacquire();
    // Unacquires and frees both devices and the input system; safe to call again. Returns true.
    bool Release();

    std::unique_ptr<KeyboardDevice> keyboard;
    std::unique_ptr<MouseDevice> mouse;
    std::unique_ptr<InputDriver> directinput;
    std::unique_ptr<GameController> controller;  // null when SDL's controller support cannot start
    ControllerState controllerState;

private:
    void ClearKeys();
    void ReadController();

    uint8_t mouseLeftButton_ = 0;  // as the mouse itself last reported it
};
