#include "engine/platform/Input.h"

#include <cstring>

namespace {

constexpr uint8_t kButtonDown = 0x80;

bool ReadDevice(InputDevice* device, size_t size, void* data)
{
    if (device == nullptr) return false;
    if (device->GetDeviceState(size, data)) return true;
    return device->Acquire() && device->GetDeviceState(size, data);
}

}  // namespace

Input::~Input()
{
    Release();
}

bool Input::Init(SDL_Window* window, int flags)
{
    Release();
    directinput = InputDriver::Create();
    if (!directinput) return false;
    if ((flags & kKeyboard) != 0) {
        keyboard = std::make_unique<KeyboardDevice>();
        keyboard->device = directinput->CreateDevice(InputDevice::Kind::Keyboard, window);
        if (keyboard->device) keyboard->device->Acquire();
    }
    if ((flags & kMouse) != 0) {
        mouse = std::make_unique<MouseDevice>();
        mouse->device = directinput->CreateDevice(InputDevice::Kind::Mouse, window);
        if (mouse->device && mouse->device->Acquire()) {
            mouse->device->GetDeviceState(sizeof(mouse->state), &mouse->state);
        }
    }
    controller = GameController::Create();
    return true;
}

bool Input::Update()
{
    if (keyboard) ReadDevice(keyboard->device.get(), sizeof(keyboard->keys), keyboard->keys);
    if (mouse && !ReadDevice(mouse->device.get(), sizeof(mouse->state), &mouse->state)) {
        // Motion is relative: repeating the last frame's motion would keep steering the ship
        // while the window is in the background. Buttons keep their last state.
        mouse->state.lX = mouse->state.lY = mouse->state.lZ = 0;
        mouse->state.rgbButtons[0] = mouseLeftButton_;
    }
    ReadController();
    return true;
}

// The left button reads as held while the mouse's own button or a controller's fire button is;
// the mouse's part is kept apart so that a released controller button releases it again.
void Input::ReadController()
{
    controllerState = controller ? controller->Read() : ControllerState{};
    if (!mouse) return;
    mouseLeftButton_ = mouse->state.rgbButtons[0];
    if (controllerState.fire) mouse->state.rgbButtons[0] = kButtonDown;
}

void Input::Acquire()
{
    ClearKeys();
    if (keyboard && keyboard->device) keyboard->device->Acquire();
    if (mouse && mouse->device) mouse->device->Acquire();
}

void Input::Unacquire()
{
    ClearKeys();
    if (keyboard && keyboard->device) keyboard->device->Unacquire();
    if (mouse && mouse->device) mouse->device->Unacquire();
}

bool Input::Release()
{
    Unacquire();
    controller.reset();
    controllerState = {};
    mouseLeftButton_ = 0;
    keyboard.reset();
    mouse.reset();
    directinput.reset();
    return true;
}

void Input::ClearKeys()
{
    if (keyboard) std::memset(keyboard->keys, 0, sizeof(keyboard->keys));
}
