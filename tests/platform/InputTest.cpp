#include "engine/platform/Input.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <tuple>
#include <utility>

#include "engine/platform/KeyCodes.h"

namespace {

constexpr uint8_t kDown = 0x80;

TEST(KeyCodes, MapsTheGameKeysAndGivesZeroToKeysWithoutACodeAndToOutOfRangeValues)
{
    const struct { int scancode; uint8_t key; } cases[] = {
        {SDL_SCANCODE_UP, 200},  {SDL_SCANCODE_ESCAPE, 1},   {SDL_SCANCODE_SPACE, 57},     {SDL_SCANCODE_A, 30},
        {SDL_SCANCODE_Z, 44},    {SDL_SCANCODE_1, 2},        {SDL_SCANCODE_0, 11},         {SDL_SCANCODE_RCTRL, 157},
        {SDL_SCANCODE_F12, 88},  {SDL_SCANCODE_UNKNOWN, 0},  {SDL_SCANCODE_AUDIOPLAY, 0},  {-1, 0},
        {SDL_NUM_SCANCODES, 0},  {100000, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyCodeFromScancode(c.scancode), c.key) << "scancode " << c.scancode;
}

TEST(KeyCodes, NoTwoKeysShareACode)
{
    int seen[256] = {};
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const uint8_t key = KeyCodeFromScancode(scancode);
        if (key != 0) ++seen[key];
    }
    for (int key = 0; key < 256; ++key) EXPECT_LE(seen[key], 1) << "key code " << key;
}

// A hidden window on a display-less video driver, driven by pushed SDL events.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("SDL_VIDEODRIVER") == nullptr && std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
        }
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("Harnengine", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override
    {
        input_.Release();
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Pushes an event of the given type addressed to our window (or another), filled in by fill.
    template <typename Fill>
    void Push(uint32_t type, Fill fill, uint32_t windowId = 0)
    {
        SDL_Event event{};
        event.type = type;
        event.window.windowID = windowId != 0 ? windowId : SDL_GetWindowID(window_);  // first field of every kind
        fill(event);
        SDL_PushEvent(&event);
    }
    void PushFocus(bool gained)
    {
        Push(SDL_WINDOWEVENT, [&](SDL_Event& e) {
            e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        });
    }
    void PushKey(SDL_Scancode scancode, bool down, uint32_t windowId = 0)
    {
        Push(down ? SDL_KEYDOWN : SDL_KEYUP, [&](SDL_Event& e) {
            e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.scancode = scancode;
        }, windowId);
    }
    void PushMotion(int dx, int dy)
    {
        Push(SDL_MOUSEMOTION, [&](SDL_Event& e) { e.motion.xrel = dx; e.motion.yrel = dy; });
    }
    void PushButton(uint8_t button, bool down)
    {
        Push(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, [&](SDL_Event& e) {
            e.button.button = button;
            e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        });
    }

    // The game's set-up: both devices, acquired once the window has the focus.
    void InitFocused()
    {
        ASSERT_TRUE(input_.Init(window_, Input::kKeyboard | Input::kMouse));
        PushFocus(true);
        input_.Acquire();
        ASSERT_NE(input_.keyboard, nullptr);
        ASSERT_NE(input_.mouse, nullptr);
    }

    uint8_t Key(uint8_t code) const { return input_.keyboard->keys[code]; }
    const DIMOUSESTATE& Mouse() const { return input_.mouse->state; }

    SDL_Window* window_ = nullptr;
    Input input_;
};

TEST_F(InputTest, AHeldKeyOfOurWindowReadsWithBitSevenFromTheNextUpdateUntilReleasedOrUnacquired)
{
    InitFocused();
    PushKey(SDL_SCANCODE_UP, true);
    PushKey(SDL_SCANCODE_LEFT, true);
    PushKey(SDL_SCANCODE_SPACE, true, SDL_GetWindowID(window_) + 100);
    EXPECT_EQ(Key(DIK_UP), 0) << "the state changes only on Update";
    ASSERT_TRUE(input_.Update());
    EXPECT_EQ(std::tuple(Key(DIK_UP), Key(DIK_LEFT), Key(DIK_DOWN), Key(DIK_SPACE)), std::tuple(kDown, kDown, 0, 0))
        << "keys of another window are not ours";
    PushKey(SDL_SCANCODE_UP, false);
    input_.Update();
    EXPECT_EQ(std::tuple(Key(DIK_UP), Key(DIK_LEFT)), std::tuple(0, kDown));
    input_.Unacquire();
    EXPECT_EQ(Key(DIK_LEFT), 0) << "unacquiring clears the keys";
    EXPECT_FALSE(input_.mouse->device->Captured());
    input_.Acquire();
    input_.Update();
    EXPECT_EQ(Key(DIK_LEFT), kDown) << "the key is still held";
}

TEST_F(InputTest, EventsDrainedByAnotherLoopStillReachTheDevicesAndMotionIsRelativeToThePreviousRead)
{
    InitFocused();
    PushKey(SDL_SCANCODE_RETURN, true);
    PushMotion(5, -3);
    PushMotion(7, 1);
    PushButton(SDL_BUTTON_LEFT, true);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
    }
    input_.Update();
    EXPECT_EQ(Key(DIK_RETURN), kDown);
    EXPECT_EQ(std::pair(Mouse().lX, Mouse().lY), std::pair(12, -2));
    EXPECT_EQ(Mouse().rgbButtons[0], kDown);
    input_.Update();
    EXPECT_EQ(std::pair(Mouse().lX, Mouse().lY), std::pair(0, 0));
    Push(SDL_MOUSEWHEEL, [](SDL_Event& e) { e.wheel.y = -2; });
    input_.Update();
    EXPECT_EQ(Mouse().lZ, -240) << "the wheel counts in notches";
}

TEST_F(InputTest, MouseButtonsReadInTheirOrderLeftRightMiddleExtra)
{
    InitFocused();
    const uint8_t buttons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1};
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        PushButton(buttons[index], true);
        input_.Update();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Mouse().rgbButtons[i], i == index ? kDown : 0);
        PushButton(buttons[index], false);
        input_.Update();
        EXPECT_EQ(Mouse().rgbButtons[index], 0);
    }
}

TEST_F(InputTest, LosingTheFocusFreesTheMouseFreezesTheKeysAndStopsTheMotionUntilAnUpdateReacquires)
{
    InitFocused();
    EXPECT_TRUE(input_.mouse->device->Captured());
    PushKey(SDL_SCANCODE_UP, true);
    PushMotion(4, 4);
    input_.Update();
    PushFocus(false);
    EXPECT_FALSE(input_.mouse->device->Captured());
    PushKey(SDL_SCANCODE_UP, false);
    PushKey(SDL_SCANCODE_DOWN, true);
    PushMotion(10, 10);
    input_.Update();
    EXPECT_EQ(std::tuple(Key(DIK_UP), Key(DIK_DOWN)), std::tuple(kDown, 0)) << "the previous state stays";
    EXPECT_EQ(std::pair(Mouse().lX, Mouse().lY), std::pair(0, 0)) << "neither the last motion again nor motion in the background";
    input_.Acquire();
    EXPECT_FALSE(input_.keyboard->device->Acquired()) << "not without the focus";

    // The click that brings the focus back stays held through the re-acquiring update.
    PushButton(SDL_BUTTON_LEFT, true);
    PushFocus(true);
    input_.Update();
    EXPECT_TRUE(input_.keyboard->device->Acquired());
    EXPECT_TRUE(input_.mouse->device->Captured());
    EXPECT_EQ(std::tuple(Key(DIK_UP), Key(DIK_DOWN)), std::tuple(0, kDown));
    EXPECT_EQ(std::pair(Mouse().lX, Mouse().rgbButtons[0]), std::pair(0, kDown));
}

TEST_F(InputTest, FlagsChooseTheDevicesReleaseFreesEverythingAndNoWindowOrNoInitIsHarmless)
{
    Input orphan;
    EXPECT_TRUE(orphan.Update());
    orphan.Acquire();
    EXPECT_EQ(orphan.keyboard, nullptr);
    ASSERT_TRUE(orphan.Init(nullptr, Input::kKeyboard | Input::kMouse));
    ASSERT_TRUE(orphan.keyboard != nullptr && orphan.mouse != nullptr);
    EXPECT_TRUE(orphan.keyboard->device == nullptr && orphan.mouse->device == nullptr);
    orphan.Acquire();
    EXPECT_TRUE(orphan.Update());
    EXPECT_EQ(orphan.keyboard->keys[DIK_UP], 0);
    EXPECT_EQ(orphan.mouse->state.lX, 0);
    EXPECT_TRUE(orphan.Release());

    ASSERT_TRUE(input_.Init(window_, Input::kKeyboard));
    EXPECT_TRUE(input_.keyboard != nullptr && input_.mouse == nullptr);
    ASSERT_TRUE(input_.Init(window_, Input::kMouse));
    EXPECT_TRUE(input_.keyboard == nullptr && input_.mouse != nullptr);
    InitFocused();
    EXPECT_TRUE(input_.Release());
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
    EXPECT_TRUE(input_.keyboard == nullptr && input_.mouse == nullptr && input_.directinput == nullptr);
    EXPECT_TRUE(input_.Release());
    EXPECT_TRUE(input_.Update());
    input_.Acquire();  // no device is there to acquire
}

// A game controller of SDL's virtual kind, plugged in and out while the input runs.
class VirtualPad {
public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
        SDL_PumpEvents();
    }
    ~VirtualPad() { Unplug(); }
    bool Plugged() const { return joystick_ != nullptr; }
    void Unplug()
    {
        if (joystick_ == nullptr) return;
        SDL_JoystickClose(joystick_);
        SDL_JoystickDetachVirtual(index_);
        joystick_ = nullptr;
        SDL_PumpEvents();
    }
    void Set(SDL_GameControllerAxis axis, int16_t value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }
    void Set(SDL_GameControllerButton button, bool down) { SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0); }

private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

TEST_F(InputTest, AControllerPluggedInWhileRunningSteersInProportionFiresAsTheLeftButtonAndCanLeave)
{
    // SDL keeps a controller's input from programs without the focus; the hidden test window
    // never really has it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    InitFocused();
    ASSERT_NE(input_.controller, nullptr);
    const int before = input_.controllerState.connected;
    VirtualPad pad;
    ASSERT_TRUE(pad.Plugged()) << SDL_GetError();

    struct Case { const char* name; int16_t x, y, trigger; bool a; float stickX, stickY; bool fire; };
    // A virtual pad's trigger is a whole axis: its lowest value is the trigger at rest.
    constexpr int16_t kRest = -32768;
    const Case cases[] = {
        {"at rest", 0, 0, kRest, false, 0.0f, 0.0f, false},
        {"inside the dead zone", 6000, -6000, kRest, false, 0.0f, 0.0f, false},
        {"right and pushed away, fully", 32767, -32768, kRest, false, 1.0f, 1.0f, false},
        {"left and pulled back, part way", -16384, 16384, kRest, false, -0.375f, -0.375f, false},
        {"A fires", 0, 0, kRest, true, 0.0f, 0.0f, true},
        {"the right trigger pressed deep fires", 0, 0, 30000, false, 0.0f, 0.0f, true},
        {"the right trigger barely touched does not", 0, 0, -20000, false, 0.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pad.Set(SDL_CONTROLLER_AXIS_LEFTX, c.x);
        pad.Set(SDL_CONTROLLER_AXIS_LEFTY, c.y);
        pad.Set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, c.trigger);
        pad.Set(SDL_CONTROLLER_BUTTON_A, c.a);
        SDL_PumpEvents();
        input_.Update();
        EXPECT_EQ(input_.controllerState.connected, before + 1);
        EXPECT_NEAR(input_.controllerState.stickX, c.stickX, 1e-3);
        EXPECT_NEAR(input_.controllerState.stickY, c.stickY, 1e-3);
        EXPECT_EQ(input_.controllerState.fire, c.fire);
        EXPECT_EQ(Mouse().rgbButtons[0], c.fire ? kDown : 0);
    }
    // The mouse's own button still works, and releasing the pad's leaves it held.
    pad.Set(SDL_CONTROLLER_BUTTON_A, true);
    PushButton(SDL_BUTTON_LEFT, true);
    SDL_PumpEvents();
    input_.Update();
    pad.Set(SDL_CONTROLLER_BUTTON_A, false);
    SDL_PumpEvents();
    input_.Update();
    EXPECT_EQ(Mouse().rgbButtons[0], kDown);

    pad.Set(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad.Unplug();
    input_.Update();
    EXPECT_EQ(input_.controllerState.connected, before);
    EXPECT_EQ(input_.controllerState.stickX, 0.0f);
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, nullptr);
}

}  // namespace
