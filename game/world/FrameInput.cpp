#include "game/world/FrameInput.h"

#include <cstring>

#include "engine/platform/Input.h"
#include "engine/platform/KeyCodes.h"

namespace {

constexpr uint8_t kHeld = 0x80;

bool Held(uint8_t state)
{
    return (state & kHeld) != 0;
}

}  // namespace

FrameInput FrameInput::Read(const Input& input)
{
    FrameInput frame;
    if (const MouseDevice* mouse = input.mouse.get()) {
        frame.dx = mouse->state.lX;
        frame.dy = mouse->state.lY;
        frame.button = Held(mouse->state.rgbButtons[0]);
    }
    if (const KeyboardDevice* keyboard = input.keyboard.get()) {
        frame.up = Held(keyboard->keys[DIK_UP]);
        frame.down = Held(keyboard->keys[DIK_DOWN]);
        frame.left = Held(keyboard->keys[DIK_LEFT]);
        frame.right = Held(keyboard->keys[DIK_RIGHT]);
    }
    frame.stickX = input.controllerState.stickX;
    frame.stickY = input.controllerState.stickY;
    return frame;
}

void FrameInput::WriteTo(Input& input) const
{
    if (!input.keyboard) input.keyboard = std::make_unique<KeyboardDevice>();
    if (!input.mouse) input.mouse = std::make_unique<MouseDevice>();
    uint8_t* keys = input.keyboard->keys;
    std::memset(keys, 0, kKeyboardStateSize);
    keys[DIK_UP] = up ? kHeld : 0;
    keys[DIK_DOWN] = down ? kHeld : 0;
    keys[DIK_LEFT] = left ? kHeld : 0;
    keys[DIK_RIGHT] = right ? kHeld : 0;
    input.mouse->state = DIMOUSESTATE{};
    input.mouse->state.lX = dx;
    input.mouse->state.lY = dy;
    input.mouse->state.rgbButtons[0] = button ? kHeld : 0;
    input.controllerState.stickX = stickX;
    input.controllerState.stickY = stickY;
    input.controllerState.fire = false;
}
