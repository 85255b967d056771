#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/platform/Log.h"
#include "engine/platform/MessageQueue.h"

// SDL's dummy video driver has no OpenGL: the display cannot be made there, and must say so.
TEST(DisplayWithoutOpenGL, InitFailsWithAClearMessageAndReleaseIsSafeTwice)
{
    Display::Release();  // before any Init: harmless
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::vector<std::string> failures;
    Log::SetListener([&](int level, const std::string& text) {
        if (level == 4) failures.push_back(text);
    });
    EXPECT_FALSE(Display::Init(640, 480, false, 32, 60, 0));
    Log::SetListener(nullptr);
    ASSERT_FALSE(failures.empty());
    EXPECT_NE(failures[0].find("window"), std::string::npos) << failures[0];
    EXPECT_EQ(Display::Device(), nullptr);
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    Display::Release();
    Display::Release();
    EXPECT_EQ(Display::GetWindow(), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    unsetenv("SDL_VIDEODRIVER");
}

// The title screen drains the queue each frame, dispatching the keys it does not handle: a dispatched
// Close or Escape reaches the window procedure, and its quit comes in the same draining of the queue,
// after the messages still waiting. The queue needs no SDL for the messages posted to it.
TEST(DisplayWindowProcedure, PostsQuitOnCloseAndEscapeAfterTheMessagesStillWaiting)
{
    using Seen = std::vector<std::pair<uint32_t, uint64_t>>;
    const struct { Message message; bool quits; } cases[] = {
        {{WM_CLOSE, 0, 0}, true},         {{WM_KEYDOWN, VK_ESCAPE, 0}, true}, {{WM_KEYDOWN, VK_RETURN, 0}, false},
        {{WM_KEYUP, VK_ESCAPE, 0}, false}, {{WM_SETFOCUS, 0, 0}, false},
    };
    ASSERT_EQ(SDL_WasInit(SDL_INIT_EVENTS), 0u);
    MessageQueue::SetWindowProcedure(Display::WindowProcedure);
    for (const auto& c : cases) {
        MessageQueue::Reset();
        MessageQueue::PostMessage(c.message);
        MessageQueue::PostMessage({WM_KEYDOWN, VK_LEFT, 0});
        Seen seen;
        Message message;
        while (MessageQueue::PeekMessage(&message)) {
            seen.emplace_back(message.message, message.wParam);
            MessageQueue::TranslateMessage(message);
            EXPECT_EQ(MessageQueue::DispatchMessage(message), 0);
        }
        Seen expected = {{c.message.message, c.message.wParam}, {WM_KEYDOWN, VK_LEFT}};
        if (c.quits) expected.emplace_back(WM_QUIT, 0);
        EXPECT_EQ(seen, expected) << "message " << c.message.message << " key " << c.message.wParam;
    }
    MessageQueue::SetWindowProcedure(nullptr);  // dispatching then does nothing
    EXPECT_EQ(MessageQueue::DispatchMessage({WM_CLOSE, 0, 0}), 0);
    Message message;
    EXPECT_FALSE(MessageQueue::PeekMessage(&message));
}
