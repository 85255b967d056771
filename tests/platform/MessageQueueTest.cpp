#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "engine/platform/MessageQueue.h"

namespace {

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        MessageQueue::Reset();
        MessageQueue::SetWindowProcedure(nullptr);
    }
    void TearDown() override
    {
        MessageQueue::Reset();
        MessageQueue::SetWindowProcedure(nullptr);
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }

    static void PushKey(uint32_t type, SDL_Keycode key)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    static std::vector<Message> Drain()
    {
        std::vector<Message> messages;
        Message message;
        while (MessageQueue::PeekMessage(&message)) messages.push_back(message);
        return messages;
    }
};

// The window procedure of the game window, as the display installs it.
int64_t PostQuitOnCloseOrEscape(const Message& message)
{
    if (message.message == WM_CLOSE || (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE))
        MessageQueue::PostQuitMessage(0);
    return 0;
}

}  // namespace

TEST_F(MessageQueueTest, KeyEventsBecomeKeyMessagesInTheOrderTheyHappened)
{
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    PushKey(SDL_KEYUP, SDLK_a);
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wParam, static_cast<uint64_t>('A'));
    EXPECT_EQ(messages[1].message, WM_KEYDOWN);
    EXPECT_EQ(messages[1].wParam, VK_RETURN);
    EXPECT_EQ(messages[2].message, WM_KEYUP);
    EXPECT_EQ(messages[2].wParam, static_cast<uint64_t>('A'));
}

TEST_F(MessageQueueTest, TheQuitMessageArrivesAfterEverythingQueuedBeforeIt)
{
    MessageQueue::PostMessage({WM_KEYDOWN, 'X', 0});
    MessageQueue::PostQuitMessage(7);
    MessageQueue::PostMessage({WM_KEYUP, 'X', 0});
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[1].message, WM_KEYUP);
    EXPECT_EQ(messages[2].wParam, VK_SPACE);
    EXPECT_EQ(messages[3].message, WM_QUIT);
    EXPECT_EQ(messages[3].wParam, 7u);
    Message none;
    EXPECT_FALSE(MessageQueue::PeekMessage(&none));
}

TEST_F(MessageQueueTest, QuitPostedTwiceArrivesOnce)
{
    MessageQueue::PostQuitMessage(0);
    MessageQueue::PostQuitMessage(0);
    EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(MessageQueueTest, AQuitPostedWhileDispatchingComesAfterTheMessagesStillWaiting)
{
    MessageQueue::SetWindowProcedure(PostQuitOnCloseOrEscape);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_LEFT);
    std::vector<uint32_t> seen;
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        seen.push_back(message.message == WM_QUIT ? WM_QUIT : static_cast<uint32_t>(message.wParam));
        if (message.message == WM_QUIT) continue;
        MessageQueue::TranslateMessage(message);
        MessageQueue::DispatchMessage(message);
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{VK_ESCAPE, VK_LEFT, WM_QUIT}));
}

TEST_F(MessageQueueTest, EscapeTakenByTheLoopIsNeverDispatched)
{
    MessageQueue::SetWindowProcedure(PostQuitOnCloseOrEscape);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    bool quitFlag = false;
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT || (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)) {
            quitFlag = true;
            continue;
        }
        MessageQueue::DispatchMessage(message);
    }
    EXPECT_TRUE(quitFlag);
    // Nothing was dispatched, so no quit message waits for the next loop.
    EXPECT_TRUE(Drain().empty());
}

TEST_F(MessageQueueTest, ACloseRequestBecomesWmCloseAndTheProcedurePostsQuit)
{
    MessageQueue::SetWindowProcedure(PostQuitOnCloseOrEscape);
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    Message message;
    ASSERT_TRUE(MessageQueue::PeekMessage(&message));
    EXPECT_EQ(message.message, WM_CLOSE);
    EXPECT_EQ(MessageQueue::DispatchMessage(message), 0);
    ASSERT_TRUE(MessageQueue::PeekMessage(&message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(MessageQueueTest, FocusChangesAreMessagesAndOtherEventsAreNot)
{
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&focus);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);
    PushKey(SDL_KEYDOWN, SDLK_CAPSLOCK);  // no virtual key of ours
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&focus);
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_KILLFOCUS);
    EXPECT_EQ(messages[1].message, WM_SETFOCUS);
}

TEST_F(MessageQueueTest, DispatchWithoutAWindowProcedureDoesNothing)
{
    EXPECT_EQ(MessageQueue::DispatchMessage({WM_CLOSE, 0, 0}), 0);
    EXPECT_TRUE(Drain().empty());
}

TEST(MessageQueueWithoutSdl, PostedMessagesStillArrive)
{
    ASSERT_EQ(SDL_WasInit(SDL_INIT_EVENTS), 0u);
    MessageQueue::Reset();
    MessageQueue::PostMessage({WM_KEYDOWN, VK_RETURN, 0});
    Message message;
    ASSERT_TRUE(MessageQueue::PeekMessage(&message));
    EXPECT_EQ(message.wParam, VK_RETURN);
    EXPECT_FALSE(MessageQueue::PeekMessage(&message));
}

TEST(MessageQueueKeys, SdlKeysMapToVirtualKeyCodes)
{
    const struct {
        SDL_Keycode key;
        uint32_t virtualKey;
    } cases[] = {
        {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_SPACE, VK_SPACE},
        {SDLK_LEFT, VK_LEFT},     {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},     {SDLK_DOWN, VK_DOWN},
        {SDLK_a, 'A'},            {SDLK_z, 'Z'},            {SDLK_0, '0'},              {SDLK_9, '9'},
        {SDLK_LSHIFT, VK_SHIFT},  {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},       {SDLK_F1, VK_F1},
        {SDLK_CAPSLOCK, 0},       {SDLK_UNKNOWN, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MessageQueue::VirtualKeyOf(c.key), c.virtualKey) << SDL_GetKeyName(c.key);
}
