#pragma once

#include <cstddef>
#include <cstdint>

struct SDL_Window;
union SDL_Event;

// The mouse state a read delivers: motion in device units since the previous read (x, y and the
// wheel, 120 units to a notch), then four buttons with bit 7 set while held (left, right,
// middle, first extra).
struct DIMOUSESTATE {
    int32_t lX;
    int32_t lY;
    int32_t lZ;
    uint8_t rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16);

constexpr size_t kKeyboardStateSize = 256;

// One keyboard or mouse bound to a window, fed by SDL events through an event watch so that it
// sees every event, pushed ones included, whichever loop drains the queue. Reads follow the
// immediate-mode device it stands for: a device delivers state only while acquired, acquiring
// needs the window to have the input focus, and losing the focus unacquires it. An acquired
// mouse holds the pointer captured (relative mode).
class InputDevice {
public:
    enum class Kind { Keyboard, Mouse };

    InputDevice(Kind kind, SDL_Window* window);
    ~InputDevice();
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // False while the window does not have the focus.
    bool Acquire();
    void Unacquire();
    bool Acquired() const { return acquired_; }
    // Whether this device holds the pointer captured; SDL may still refuse relative mode on a
    // display that cannot warp the pointer.
    bool Captured() const { return captured_; }

    // Copies the state: 256 key bytes for a keyboard, a DIMOUSESTATE for a mouse; the size must
    // match. False, leaving the buffer untouched, while not acquired. A mouse read restarts the
    // motion count.
    bool GetDeviceState(size_t size, void* data);

private:
    static int OnEvent(void* self, SDL_Event* event);
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void HandleKeyEvent(const SDL_Event& event);
    void HandleMouseEvent(const SDL_Event& event);
    bool IsOurWindow(uint32_t windowId) const;
    void SetCaptured(bool captured);

    Kind kind_;
    SDL_Window* window_;
    uint32_t windowId_;
    bool focused_;
    bool acquired_ = false;
    bool captured_ = false;
    uint8_t keys_[kKeyboardStateSize] = {};
    DIMOUSESTATE mouse_ = {};
};
