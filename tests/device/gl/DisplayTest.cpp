#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/device/OpenGLDevice.h"
#include "engine/platform/Log.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/Window.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log::SetListener([this](int level, const std::string& text) {
            if (level == 1) lines_.push_back(text);
        });
    }
    void TearDown() override
    {
        Log::SetListener(nullptr);
        Display::Release();
        MessageQueue::Reset();
    }
    std::vector<std::string> lines_;
};

}  // namespace

TEST_F(DisplayTest, InitOpensTheWindowMakesTheDeviceCurrentAndLogsTheModeChangeModeResizesItAndReleaseUndoesIt)
{
    ASSERT_TRUE(Display::Init(320, 240, false, 32, 60, 8));
    ASSERT_NE(Display::Device(), nullptr);
    EXPECT_EQ(GraphicsDevice::Current(), Display::Device());
    ASSERT_NE(Display::GetWindow(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(Display::GetWindow()->Handle()), "Harnengine");
    int width = 0, height = 0;
    Display::GetWindow()->DrawableSize(&width, &height);
    EXPECT_EQ(std::tuple(width, height, Display::Device()->GetBackBuffer()->Width(), Display::Width()), std::tuple(320, 240, 320, 320));
    EXPECT_EQ(Display::Multisample(), 8u);  // stored as given; 8 samples are not asked for

    const std::vector<std::string> expected = {"== Display Inicialize/Change ==", "width: 320\n", "height: 240\n",
                                               "bits: 32\n", "fullscreen: 0\n", "frequence: 60\n", "samples: 8\n",
                                               "Sucesseful\n"};
    auto first = std::find(lines_.begin(), lines_.end(), expected[0]);
    ASSERT_NE(first, lines_.end());
    EXPECT_EQ(std::vector<std::string>(first, lines_.end()), expected);

    ASSERT_TRUE(Display::ChangeMode(200, 100, false, 16, 75, 4));
    for (int i = 0; i < 50 && (width != 200 || height != 100); ++i) {
        SDL_PumpEvents();
        Display::GetWindow()->DrawableSize(&width, &height);
        if (width != 200) SDL_Delay(10);
    }
    EXPECT_EQ(std::tuple(width, height, Display::Height(), Display::Bits(), Display::Refresh()), std::tuple(200, 100, 100, 16u, 75u));
    // A refused mode is logged and leaves the stored one.
    EXPECT_FALSE(Display::ChangeMode(0, 0, false, 32, 60, 0));
    EXPECT_EQ(lines_.back(), "Failed to inicialize\n");
    EXPECT_EQ(Display::Width(), 200);

    // Release is safe twice and clears the current device.
    Display::Release();
    EXPECT_TRUE(Display::Device() == nullptr && GraphicsDevice::Current() == nullptr && Display::GetWindow() == nullptr);
    Display::Release();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);

    // A window asked for more samples than are offered opens with fewer; empty sizes are refused.
    auto window = Window::Create("Harnengine", 120, 90, 6);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(window->Handle()) & SDL_WINDOW_OPENGL, 0u);
    EXPECT_FALSE(window->SetMode(0, 10, false, 60));
    EXPECT_EQ(Window::Create("Harnengine", 0, 90, 0), nullptr);
    EXPECT_EQ(Window::Create("Harnengine", 10, -1, 0), nullptr);
}

TEST_F(DisplayTest, TheModeListHoldsTheDisplaysRealModes)
{
    const int count = Display::ModeCount(32);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        EXPECT_GT(Display::ModeWidth(32, i), 0);
        EXPECT_GT(Display::ModeHeight(32, i), 0);
        EXPECT_GE(Display::ModeRefresh(32, i), 0);
    }
    EXPECT_EQ(Display::ModeCount(24), count) << "24-bit colour counts as 32-bit";
    for (int outside : {count, -1})
        EXPECT_EQ(Display::ModeWidth(32, outside) + Display::ModeHeight(32, outside) + Display::ModeRefresh(32, outside), 0);
}

TEST_F(DisplayTest, APictureThatDoesNotFitTheWindowIsDrawnAtItsSizeAndShownLetterboxed)
{
    ASSERT_TRUE(Display::Init(320, 200, false, 32, 60, 0));
    auto* device = static_cast<OpenGLDevice*>(Display::Device());
    SDL_SetWindowSize(Display::GetWindow()->Handle(), 400, 200);  // as a window manager might
    SDL_PumpEvents();
    ASSERT_TRUE(device->Letterboxed());
    RenderSurface* back = device->GetBackBuffer();
    EXPECT_EQ(back->Width(), 320);
    EXPECT_EQ(back->Height(), 200);
    ASSERT_TRUE(device->Clear(ClearFlags::Target, 0xFFFF0000, 1.0f, 0));
    std::vector<uint8_t> picture;
    ASSERT_TRUE(device->ReadPixels(0, 0, 320, 200, &picture));
    EXPECT_EQ(std::count(picture.begin(), picture.end(), 255), 320 * 200 * 2) << "red and opaque, the size chosen";
    // What the window shows after Present is the driver's to keep or not; the bars and the
    // scaling are LetterboxRect's, tested on their own.
    ASSERT_TRUE(device->Present());
    EXPECT_TRUE(device->ReadPixels(0, 0, 320, 200, &picture)) << "the next frame is drawn at the picture's size again";
    EXPECT_FALSE(device->ReadPixels(0, 0, 400, 200, &picture));

    SDL_SetWindowSize(Display::GetWindow()->Handle(), 320, 200);
    SDL_PumpEvents();
    EXPECT_FALSE(device->Letterboxed()) << "a window that fits is drawn into directly";
}

TEST_F(DisplayTest, AltEnterSwitchesBetweenFullScreenAndAWindowOfTheSameSizeAndClosingTheWindowPostsQuit)
{
    ASSERT_TRUE(Display::Init(320, 200, false, 32, 60, 0));
    const uint32_t windowId = SDL_GetWindowID(Display::GetWindow()->Handle());
    for (bool fullscreen : {true, false}) {
        SDL_Event key{};
        key.type = SDL_KEYDOWN;
        key.key.keysym.sym = SDLK_RETURN;
        key.key.keysym.mod = KMOD_LALT;
        ASSERT_EQ(SDL_PushEvent(&key), 1);
        Message message;
        while (MessageQueue::PeekMessage(&message)) MessageQueue::DispatchMessage(message);
        EXPECT_EQ(Display::Fullscreen(), fullscreen);
        EXPECT_EQ(Display::Width(), 320);
        EXPECT_EQ(Display::Device()->GetBackBuffer()->Width(), 320);
        // The display offers no 320 × 200 mode: full screen keeps the desktop's.
        EXPECT_EQ(Display::GetWindow()->KeptDesktopMode(), fullscreen);
    }

    // A close request posts quit instead of destroying the window.
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = windowId;
    ASSERT_EQ(SDL_PushEvent(&close), 1);
    bool quit = false;
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT) quit = true;
        else MessageQueue::DispatchMessage(message);
    }
    EXPECT_TRUE(quit);
    EXPECT_NE(SDL_GetWindowFromID(windowId), nullptr);
}
