#include "engine/platform/InputDevice.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "engine/platform/KeyCodes.h"

namespace {

constexpr uint8_t kDown = 0x80;
constexpr int32_t kWheelUnitsPerNotch = 120;

// SDL numbers buttons left 1, middle 2, right 3, extras 4 and 5; the state lists left, right,
// middle, first extra.
int ButtonIndex(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    default: return -1;
    }
}

}  // namespace

InputDevice::InputDevice(Kind kind, SDL_Window* window)
    : kind_(kind),
      window_(window),
      windowId_(SDL_GetWindowID(window)),
      focused_((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0)
{
    SDL_AddEventWatch(&InputDevice::OnEvent, this);
}

InputDevice::~InputDevice()
{
    SDL_DelEventWatch(&InputDevice::OnEvent, this);
    Unacquire();
}

bool InputDevice::Acquire()
{
    if (!focused_) return false;
    if (acquired_) return true;
    acquired_ = true;
    if (kind_ == Kind::Mouse) {
        // Motion from the background is not the player's; the buttons follow their events
        // whether acquired or not, so a click that brings the focus back reads as held.
        mouse_.lX = mouse_.lY = mouse_.lZ = 0;
        SetCaptured(true);
    }
    return true;
}

void InputDevice::Unacquire()
{
    acquired_ = false;
    if (kind_ == Kind::Mouse) SetCaptured(false);
}

bool InputDevice::GetDeviceState(size_t size, void* data)
{
    if (!acquired_ || data == nullptr) return false;
    if (kind_ == Kind::Keyboard) {
        if (size != sizeof(keys_)) return false;
        std::memcpy(data, keys_, sizeof(keys_));
        return true;
    }
    if (size != sizeof(mouse_)) return false;
    std::memcpy(data, &mouse_, sizeof(mouse_));
    mouse_.lX = mouse_.lY = mouse_.lZ = 0;
    return true;
}

int InputDevice::OnEvent(void* self, SDL_Event* event)
{
    static_cast<InputDevice*>(self)->Handle(*event);
    return 0;
}

void InputDevice::Handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT: HandleWindowEvent(event); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (kind_ == Kind::Keyboard) HandleKeyEvent(event);
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        if (kind_ == Kind::Mouse) HandleMouseEvent(event);
        break;
    default: break;
    }
}

void InputDevice::HandleWindowEvent(const SDL_Event& event)
{
    if (event.window.windowID != windowId_) return;
    if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        focused_ = true;
    } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        focused_ = false;
        Unacquire();
    }
}

// Key bytes follow every key event, acquired or not, so that a key still held when the focus
// comes back reads as held; SDL reports every held key as released when the focus goes.
void InputDevice::HandleKeyEvent(const SDL_Event& event)
{
    if (!IsOurWindow(event.key.windowID)) return;
    const uint8_t key = KeyCodeFromScancode(event.key.keysym.scancode);
    if (key == 0) return;
    keys_[key] = event.type == SDL_KEYDOWN ? kDown : 0;
}

// Motion counts only while acquired, as the device it stands for delivers nothing in the
// background.
void InputDevice::HandleMouseEvent(const SDL_Event& event)
{
    if (event.type == SDL_MOUSEMOTION) {
        if (!acquired_ || !IsOurWindow(event.motion.windowID)) return;
        mouse_.lX += event.motion.xrel;
        mouse_.lY += event.motion.yrel;
    } else if (event.type == SDL_MOUSEWHEEL) {
        if (!acquired_ || !IsOurWindow(event.wheel.windowID)) return;
        mouse_.lZ += event.wheel.y * kWheelUnitsPerNotch;
    } else {
        if (!IsOurWindow(event.button.windowID)) return;
        const int index = ButtonIndex(event.button.button);
        if (index < 0) return;
        mouse_.rgbButtons[index] = event.type == SDL_MOUSEBUTTONDOWN ? kDown : 0;
    }
}

// Events pushed without a window belong to whichever window has the focus.
bool InputDevice::IsOurWindow(uint32_t windowId) const
{
    return windowId == windowId_ || windowId == 0;
}

void InputDevice::SetCaptured(bool captured)
{
    if (captured == captured_) return;
    captured_ = captured;
    SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
}
