#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "engine/device/Display.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/PerformanceCounter.h"
#include "engine/platform/Window.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "game/shell/TitleScreen.h"
#include "tests/shell/StandInData.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kStep = 1.0 / 4.0;  // seconds a frame: few frames, each costly in software
constexpr float kShotTime = 2.0f;    // seconds: the fade-in is over

Picture FrontBuffer()
{
    Picture picture;
    AllocatePicture(picture, kWidth, kHeight);
    std::vector<uint8_t> rows(picture.rgba.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const size_t row = static_cast<size_t>(kWidth) * 4;
    for (int y = 0; y < kHeight; ++y) std::copy_n(rows.data() + (kHeight - 1 - y) * row, row, picture.rgba.data() + y * row);
    glReadBuffer(GL_BACK);
    return picture;
}

// The title on the real renderer and window with the stand-in scenery: after the fade-in the
// screen shows it (not black); closing the window then ends the showing.
TEST(TitleOnOpenGL, TheSceneryShowsOnceTheFadeInIsOver)
{
    char previous[PATH_MAX] = {};
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    TempFolder folder("title-gl");
    standin::WriteLoose(folder.Path());
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    MessageQueue::Reset();
    ASSERT_TRUE(Display::Init(kWidth, kHeight, false, 32, 60, 0));
    {
        Renderer renderer;
        ASSERT_TRUE(renderer.SetUpScene());
        renderer.SetGlowEnabled(true);
        renderer.SetBlur(0.012f);
        renderer.SetGlowColor({1, 1, 1, 1});
        ManualPerformanceCounter counter(64000);
        TitleScreen title(counter);
        Picture shot;
        title.SetFrameObserver([&](const TitleFrame& frame) {
            if (frame.t >= kShotTime && shot.width == 0) {
                shot = FrontBuffer();
                MessageQueue::PostMessage({WM_CLOSE, 0, 0});
            }
            if (frame.t > 60.0f) MessageQueue::PostQuitMessage(0);
            counter.AdvanceSeconds(kStep);
        });
        EXPECT_FALSE(title.Run(renderer));
        ASSERT_EQ(shot.width, static_cast<uint32_t>(kWidth));
        const std::vector<uint8_t> png = PictureWriter::Png(shot);
        std::filesystem::create_directories(HARN_BINARY_DIR "/picture_results");
        std::ofstream(HARN_BINARY_DIR "/picture_results/title.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        size_t lit = 0;
        for (size_t i = 0; i < shot.rgba.size(); i += 4) lit += (shot.rgba[i] + shot.rgba[i + 1] + shot.rgba[i + 2]) > 60 ? 1 : 0;
        EXPECT_GT(lit, shot.rgba.size() / 4 / 4) << "at least a quarter of the screen is lit";
    }
    Display::Release();
    ShaderDirectory::Set("");
    MessageQueue::Reset();
    EXPECT_EQ(chdir(previous), 0);
}

}  // namespace
