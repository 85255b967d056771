#include <gtest/gtest.h>

#include <SDL.h>

#include <utility>
#include <vector>

#include "engine/platform/MessageQueue.h"

namespace {

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        MessageQueue::Reset();
    }
    void TearDown() override
    {
        MessageQueue::Reset();
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }

    static void PushKey(uint32_t type, SDL_Keycode key, uint16_t mod = KMOD_NONE)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void PushWindowEvent(uint8_t what)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    // Every waiting message as (message, wParam) pairs.
    static std::vector<std::pair<uint32_t, uint64_t>> Drain()
    {
        std::vector<std::pair<uint32_t, uint64_t>> messages;
        Message message;
        while (MessageQueue::PeekMessage(&message)) messages.emplace_back(message.message, message.wParam);
        return messages;
    }
};

using Seen = std::vector<std::pair<uint32_t, uint64_t>>;

TEST_F(MessageQueueTest, EventsBecomeMessagesInOrderWithTheQuitMessageAfterEverythingQueuedBeforeIt)
{
    PushKey(SDL_KEYDOWN, SDLK_a);
    MessageQueue::PostQuitMessage(0);
    MessageQueue::PostQuitMessage(7);  // a second quit is not queued again; its code counts
    MessageQueue::PostMessage({WM_KEYUP, 'X', 0});
    PushKey(SDL_KEYUP, SDLK_a);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);
    PushKey(SDL_KEYDOWN, SDLK_CAPSLOCK);  // no virtual key of ours
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(Drain(), (Seen{{WM_KEYUP, 'X'}, {WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_KILLFOCUS, 0}, {WM_SETFOCUS, 0},
                             {WM_KEYDOWN, VK_RETURN}, {WM_CLOSE, 0}, {WM_QUIT, 7}}));
    EXPECT_TRUE(Drain().empty());
}

// Alt+Enter is not Enter to the loops; a game controller's Start and Back are Enter and Escape.
TEST_F(MessageQueueTest, AltMakesSystemKeysAndControllerStartAndBackAreEnterAndEscape)
{
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    for (uint8_t button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_A}) {
        SDL_Event pad{};
        pad.cbutton.button = button;
        for (uint32_t type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
            pad.type = type;
            ASSERT_EQ(SDL_PushEvent(&pad), 1);
        }
    }
    EXPECT_EQ(Drain(), (Seen{{WM_SYSKEYDOWN, VK_RETURN}, {WM_SYSKEYUP, VK_RETURN}, {WM_KEYDOWN, VK_RETURN},
                             {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYUP, VK_ESCAPE}}));
}

TEST(MessageQueueKeys, SdlKeysMapToVirtualKeyCodes)
{
    const struct { SDL_Keycode key; uint32_t virtualKey; } cases[] = {
        {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_SPACE, VK_SPACE}, {SDLK_LEFT, VK_LEFT}, {SDLK_DOWN, VK_DOWN},
        {SDLK_a, 'A'},            {SDLK_z, 'Z'},            {SDLK_0, '0'},         {SDLK_9, '9'},       {SDLK_RCTRL, VK_CONTROL},
        {SDLK_LALT, VK_MENU},     {SDLK_F1, VK_F1},         {SDLK_CAPSLOCK, 0},    {SDLK_UNKNOWN, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MessageQueue::VirtualKeyOf(c.key), c.virtualKey) << SDL_GetKeyName(c.key);
}

}  // namespace
