#include "engine/platform/InputDriver.h"

#include <SDL2/SDL.h>

std::unique_ptr<InputDriver> InputDriver::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return nullptr;
    return std::unique_ptr<InputDriver>(new InputDriver());
}

InputDriver::~InputDriver()
{
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

std::unique_ptr<InputDevice> InputDriver::CreateDevice(InputDevice::Kind kind, SDL_Window* window)
{
    if (window == nullptr) return nullptr;
    return std::make_unique<InputDevice>(kind, window);
}
