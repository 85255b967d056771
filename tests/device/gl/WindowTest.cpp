#include <gtest/gtest.h>

#include <SDL.h>

#include "engine/platform/Window.h"

TEST(Window, OpensAtTheRequestedSizeWithoutSamplesItCannotHaveAndRefusesEmptySizes)
{
    auto window = Window::Create("Harnengine", 120, 90, 6);  // six samples are more than offered
    ASSERT_NE(window, nullptr);
    int width = 0, height = 0;
    window->DrawableSize(&width, &height);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 90);
    EXPECT_NE(SDL_GetWindowFlags(window->Handle()) & SDL_WINDOW_OPENGL, 0u);
    EXPECT_FALSE(window->SetMode(0, 10, false, 60));
    window.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(Window::Create("Harnengine", 0, 90, 0), nullptr);
    EXPECT_EQ(Window::Create("Harnengine", 10, -1, 0), nullptr);
}
