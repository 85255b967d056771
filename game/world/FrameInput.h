#pragma once

#include <cstdint>

class Input;

// Everything of the input that the level play reads in a frame: the mouse's motion and left
// button, the four arrow keys and a controller's left stick. Feeds write it over the devices'
// state; a recording reads it back out.
struct FrameInput {
    int32_t dx = 0;  // mouse counts of motion this frame
    int32_t dy = 0;
    bool button = false;  // the left button, or a controller's fire button
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    float stickX = 0.0f;  // -1 … 1, as ControllerState
    float stickY = 0.0f;

    // What the input holds now; absent devices read as idle.
    static FrameInput Read(const Input& input);
    // Replaces the keyboard, mouse and controller state with this (every other key released, the
    // other buttons up, no wheel), creating the device records the input lacks.
    void WriteTo(Input& input) const;

    bool operator==(const FrameInput&) const = default;
};
