#pragma once

#include <memory>

#include "engine/platform/InputDevice.h"

struct SDL_Window;

// The input system that devices are created from: it holds SDL's event subsystem open for as long
// as it lives, so that devices keep receiving events whoever else starts or stops SDL.
class InputDriver {
public:
    // Null when SDL's event subsystem cannot be started.
    static std::unique_ptr<InputDriver> Create();
    ~InputDriver();
    InputDriver(const InputDriver&) = delete;
    InputDriver& operator=(const InputDriver&) = delete;

    // A device bound to the window; null without a window, as a device that could not be created.
    std::unique_ptr<InputDevice> CreateDevice(InputDevice::Kind kind, SDL_Window* window);

private:
    InputDriver() = default;
};
