#include "engine/platform/Input.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>

#include "engine/platform/KeyCodes.h"

namespace {

constexpr uint8_t kDown = 0x80;

struct ScancodeCase {
    SDL_Scancode scancode;
    uint8_t key;
};

TEST(KeyCodes, MapsTheKeysTheGameAndTheMenusUse)
{
    const ScancodeCase cases[] = {
        {SDL_SCANCODE_UP, 200},      {SDL_SCANCODE_DOWN, 208},   {SDL_SCANCODE_LEFT, 203},
        {SDL_SCANCODE_RIGHT, 205},   {SDL_SCANCODE_ESCAPE, 1},   {SDL_SCANCODE_RETURN, 28},
        {SDL_SCANCODE_SPACE, 57},    {SDL_SCANCODE_A, 30},       {SDL_SCANCODE_Q, 16},
        {SDL_SCANCODE_Z, 44},        {SDL_SCANCODE_M, 50},       {SDL_SCANCODE_1, 2},
        {SDL_SCANCODE_9, 10},        {SDL_SCANCODE_0, 11},       {SDL_SCANCODE_LSHIFT, 42},
        {SDL_SCANCODE_RSHIFT, 54},   {SDL_SCANCODE_LCTRL, 29},   {SDL_SCANCODE_RCTRL, 157},
        {SDL_SCANCODE_LALT, 56},     {SDL_SCANCODE_RALT, 184},   {SDL_SCANCODE_KP_ENTER, 156},
        {SDL_SCANCODE_F1, 59},       {SDL_SCANCODE_F12, 88},     {SDL_SCANCODE_DELETE, 211},
    };
    for (const ScancodeCase& c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
        EXPECT_EQ(KeyCodeFromScancode(c.scancode), c.key);
    }
}

TEST(KeyCodes, KeysWithoutACodeAndOutOfRangeValuesGiveZero)
{
    for (int scancode : {static_cast<int>(SDL_SCANCODE_UNKNOWN), static_cast<int>(SDL_SCANCODE_APPLICATION),
                         static_cast<int>(SDL_SCANCODE_AUDIOPLAY), -1, static_cast<int>(SDL_NUM_SCANCODES), 100000}) {
        SCOPED_TRACE(scancode);
        EXPECT_EQ(KeyCodeFromScancode(scancode), 0);
    }
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

    uint32_t WindowId() const { return SDL_GetWindowID(window_); }

    void PushFocus(bool gained)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = WindowId();
        event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        SDL_PushEvent(&event);
    }

    void PushKey(SDL_Scancode scancode, bool down, uint32_t windowId)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = windowId;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }
    void PushKey(SDL_Scancode scancode, bool down) { PushKey(scancode, down, WindowId()); }

    void PushMotion(int dx, int dy)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = WindowId();
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        SDL_PushEvent(&event);
    }

    void PushButton(uint8_t button, bool down)
    {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = WindowId();
        event.button.button = button;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
    }

    void PushWheel(int notches)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = WindowId();
        event.wheel.y = notches;
        SDL_PushEvent(&event);
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

    SDL_Window* window_ = nullptr;
    Input input_;
};

TEST_F(InputTest, AHeldKeyReadsWithBitSevenUntilReleased)
{
    InitFocused();
    PushKey(SDL_SCANCODE_UP, true);
    PushKey(SDL_SCANCODE_LEFT, true);
    EXPECT_EQ(Key(DIK_UP), 0) << "the state changes only on Update";
    ASSERT_TRUE(input_.Update());
    EXPECT_EQ(Key(DIK_UP), kDown);
    EXPECT_EQ(Key(DIK_LEFT), kDown);
    EXPECT_EQ(Key(DIK_DOWN), 0);
    PushKey(SDL_SCANCODE_UP, false);
    input_.Update();
    EXPECT_EQ(Key(DIK_UP), 0);
    EXPECT_EQ(Key(DIK_LEFT), kDown);
}

TEST_F(InputTest, EventsDrainedByAnotherLoopStillReachTheDevices)
{
    InitFocused();
    PushKey(SDL_SCANCODE_RETURN, true);
    PushMotion(3, 2);
    PushButton(SDL_BUTTON_LEFT, true);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
    }
    input_.Update();
    EXPECT_EQ(Key(DIK_RETURN), kDown);
    EXPECT_EQ(input_.mouse->state.lX, 3);
    EXPECT_EQ(input_.mouse->state.lY, 2);
    EXPECT_EQ(input_.mouse->state.rgbButtons[0], kDown);
}

TEST_F(InputTest, KeysOfAnotherWindowAreNotOurs)
{
    InitFocused();
    PushKey(SDL_SCANCODE_SPACE, true, WindowId() + 100);
    input_.Update();
    EXPECT_EQ(Key(DIK_SPACE), 0);
}

TEST_F(InputTest, MouseMotionIsRelativeToThePreviousRead)
{
    InitFocused();
    PushMotion(5, -3);
    PushMotion(7, 1);
    input_.Update();
    EXPECT_EQ(input_.mouse->state.lX, 12);
    EXPECT_EQ(input_.mouse->state.lY, -2);
    input_.Update();
    EXPECT_EQ(input_.mouse->state.lX, 0);
    EXPECT_EQ(input_.mouse->state.lY, 0);
    PushWheel(-2);
    input_.Update();
    EXPECT_EQ(input_.mouse->state.lZ, -240);
}

struct ButtonCase {
    uint8_t sdlButton;
    int index;
};

TEST_F(InputTest, MouseButtonsReadInTheirOrderLeftRightMiddleExtra)
{
    InitFocused();
    const ButtonCase cases[] = {{SDL_BUTTON_LEFT, 0}, {SDL_BUTTON_RIGHT, 1}, {SDL_BUTTON_MIDDLE, 2}, {SDL_BUTTON_X1, 3}};
    for (const ButtonCase& c : cases) {
        SCOPED_TRACE(c.index);
        PushButton(c.sdlButton, true);
        input_.Update();
        for (int i = 0; i < 4; ++i) EXPECT_EQ(input_.mouse->state.rgbButtons[i], i == c.index ? kDown : 0);
        PushButton(c.sdlButton, false);
        input_.Update();
        EXPECT_EQ(input_.mouse->state.rgbButtons[c.index], 0);
    }
}

TEST_F(InputTest, UnacquireClearsTheKeysAndTheStateStaysUntilAcquiredAgain)
{
    InitFocused();
    PushKey(SDL_SCANCODE_RIGHT, true);
    input_.Update();
    ASSERT_EQ(Key(DIK_RIGHT), kDown);
    input_.Unacquire();
    EXPECT_EQ(Key(DIK_RIGHT), 0);
    EXPECT_FALSE(input_.mouse->device->Captured());
    input_.Acquire();
    input_.Update();
    EXPECT_EQ(Key(DIK_RIGHT), kDown) << "the key is still held";
}

TEST_F(InputTest, WithoutTheFocusNothingIsReadAndTheFirstUpdateAfterItReacquires)
{
    ASSERT_TRUE(input_.Init(window_, Input::kKeyboard | Input::kMouse));
    input_.Acquire();
    EXPECT_FALSE(input_.keyboard->device->Acquired());
    PushKey(SDL_SCANCODE_DOWN, true);
    PushMotion(10, 10);
    input_.Update();
    EXPECT_EQ(Key(DIK_DOWN), 0);
    EXPECT_EQ(input_.mouse->state.lX, 0) << "motion in the background is not counted";

    PushFocus(true);
    input_.Update();
    EXPECT_TRUE(input_.keyboard->device->Acquired());
    EXPECT_EQ(Key(DIK_DOWN), kDown);
    EXPECT_EQ(input_.mouse->state.lX, 0);
}

TEST_F(InputTest, LosingTheFocusFreezesTheKeysAndStopsTheMotion)
{
    InitFocused();
    PushKey(SDL_SCANCODE_UP, true);
    PushMotion(4, 4);
    input_.Update();
    PushFocus(false);
    PushKey(SDL_SCANCODE_UP, false);
    PushKey(SDL_SCANCODE_A, true);
    input_.Update();
    EXPECT_EQ(Key(DIK_UP), kDown) << "the previous state stays";
    EXPECT_EQ(Key(DIK_A), 0);
    EXPECT_EQ(input_.mouse->state.lX, 0) << "the last motion is not repeated frame after frame";
    EXPECT_EQ(input_.mouse->state.lY, 0);
    EXPECT_FALSE(input_.mouse->device->Captured());
    input_.Unacquire();
    EXPECT_EQ(Key(DIK_UP), 0);
}

TEST_F(InputTest, TheMouseIsCapturedWhileAcquiredWithTheFocus)
{
    InitFocused();
    EXPECT_TRUE(input_.mouse->device->Captured());
    PushFocus(false);
    EXPECT_FALSE(input_.mouse->device->Captured());
    PushFocus(true);
    input_.Update();
    EXPECT_TRUE(input_.mouse->device->Captured());
    input_.Release();
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
}

TEST_F(InputTest, FlagsChooseTheDevices)
{
    ASSERT_TRUE(input_.Init(window_, Input::kKeyboard));
    EXPECT_NE(input_.keyboard, nullptr);
    EXPECT_EQ(input_.mouse, nullptr);
    ASSERT_TRUE(input_.Init(window_, Input::kMouse));
    EXPECT_EQ(input_.keyboard, nullptr);
    EXPECT_NE(input_.mouse, nullptr);
    EXPECT_TRUE(input_.Update());
}

TEST_F(InputTest, ReleaseFreesEverythingAndIsSafeTwice)
{
    InitFocused();
    EXPECT_TRUE(input_.Release());
    EXPECT_EQ(input_.keyboard, nullptr);
    EXPECT_EQ(input_.mouse, nullptr);
    EXPECT_EQ(input_.directinput, nullptr);
    EXPECT_TRUE(input_.Release());
    EXPECT_TRUE(input_.Update());
    input_.Acquire();
    input_.Unacquire();
    PushKey(SDL_SCANCODE_UP, true);  // no device is listening any more
}

TEST(Input, WithoutAWindowTheDevicesAreSkipped)
{
    Input input;
    ASSERT_TRUE(input.Init(nullptr, Input::kKeyboard | Input::kMouse));
    ASSERT_NE(input.keyboard, nullptr);
    ASSERT_NE(input.mouse, nullptr);
    EXPECT_EQ(input.keyboard->device, nullptr);
    EXPECT_EQ(input.mouse->device, nullptr);
    input.Acquire();
    EXPECT_TRUE(input.Update());
    EXPECT_EQ(input.keyboard->keys[DIK_UP], 0);
    EXPECT_EQ(input.mouse->state.lX, 0);
    input.Unacquire();
    EXPECT_TRUE(input.Release());
}

TEST(Input, BeforeInitEveryOperationIsHarmless)
{
    Input input;
    EXPECT_TRUE(input.Update());
    input.Acquire();
    input.Unacquire();
    EXPECT_EQ(input.keyboard, nullptr);
    EXPECT_TRUE(input.Release());
}

}  // namespace
