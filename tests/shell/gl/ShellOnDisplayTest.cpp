#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "engine/device/Display.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/PerformanceCounter.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "game/shell/SettingsDialog.h"
#include "game/shell/TitleScreen.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kStepsPerAction = 3;  // frames for the toolkit to see a press, a release, an opened list
constexpr const char* kArchive = HARN_BINARY_DIR "/data.qzr";  // the game's data, as the build made it

enum class Act { OpenList, PickLast, PickFirst, Ok, Cancel, Windowed, CloseBox, Enter, Escape };

// What the current window shows now, as a picture (the back buffer still holds the last frame shown).
Picture Screenshot()
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(SDL_GL_GetCurrentWindow(), &width, &height);
    Picture picture;
    AllocatePicture(picture, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    std::vector<uint8_t> rows(picture.rgba.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) std::copy_n(rows.data() + (height - 1 - y) * row, row, picture.rgba.data() + y * row);
    return picture;
}

void SavePicture(const Picture& picture, const std::string& name)
{
    TempFolder::Save(std::string(HARN_BINARY_DIR "/picture_results/") + name, PictureWriter::Png(picture));
}

// The dialog on the real window system, worked by SDL events pushed as the window system would
// send them: the pointer moved onto a control, the button pressed and released there.
class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { MessageQueue::Reset(); }
    void TearDown() override { MessageQueue::Reset(); }

    void Steps(SettingsDialog& dialog, int count)
    {
        for (int i = 0; i < count && dialog.Step(); ++i) {
        }
    }
    void PushMouse(SettingsDialog& dialog, uint32_t type, const SettingsDialog::Box& box)
    {
        SDL_Event event{};
        event.type = type;
        const int x = static_cast<int>(box.CentreX()), y = static_cast<int>(box.CentreY());
        if (type == SDL_MOUSEMOTION) {
            event.motion.windowID = SDL_GetWindowID(dialog.Handle());
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.windowID = SDL_GetWindowID(dialog.Handle());
            event.button.button = SDL_BUTTON_LEFT;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.clicks = 1;
            event.button.x = x;
            event.button.y = y;
        }
        SDL_PushEvent(&event);
        Steps(dialog, kStepsPerAction);
    }
    void Click(SettingsDialog& dialog, const SettingsDialog::Box& box)
    {
        PushMouse(dialog, SDL_MOUSEMOTION, box);
        PushMouse(dialog, SDL_MOUSEBUTTONDOWN, box);
        PushMouse(dialog, SDL_MOUSEBUTTONUP, box);
    }
    void PushKey(SettingsDialog& dialog, SDL_Keycode key)
    {
        for (uint32_t type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event event{};
            event.type = type;
            event.key.windowID = SDL_GetWindowID(dialog.Handle());
            event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = key;
            event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
            SDL_PushEvent(&event);
        }
        Steps(dialog, kStepsPerAction);
    }
    void Do(SettingsDialog& dialog, Act act)
    {
        const SettingsDialog::Layout& layout = dialog.LastLayout();
        switch (act) {
        case Act::OpenList: Click(dialog, layout.resolution); break;
        case Act::PickFirst:
        case Act::PickLast:
            ASSERT_FALSE(layout.listEntries.empty()) << "the list is not open";
            Click(dialog, act == Act::PickFirst ? layout.listEntries.front() : layout.listEntries.back());
            break;
        case Act::Ok: Click(dialog, layout.ok); break;
        case Act::Cancel: Click(dialog, layout.cancel); break;
        case Act::Windowed: Click(dialog, layout.windowed); break;
        case Act::CloseBox: {
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.windowID = SDL_GetWindowID(dialog.Handle());
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            SDL_PushEvent(&event);
            Steps(dialog, kStepsPerAction);
            break;
        }
        case Act::Enter: PushKey(dialog, SDLK_RETURN); break;
        case Act::Escape: PushKey(dialog, SDLK_ESCAPE); break;
        }
    }
};

struct Case {
    const char* name;
    std::vector<SettingsDialog::Mode> modes;
    std::vector<Act> acts;
    bool ended;
    bool cancelled;
    int width, height, refresh;
    bool windowed;
};

TEST_F(SettingsDialogTest, TheMouseChoosesTheModeAndOkOrCancelOrTheCloseBoxEndIt)
{
    const std::vector<SettingsDialog::Mode> modes = {{640, 480, 60}, {800, 600, 60}, {1024, 768, 75}};
    const std::vector<Case> cases = {
        {"the 1024 x 768 at 75 Hz entry and OK", modes, {Act::OpenList, Act::PickLast, Act::Ok}, true, false, 1024, 768, 75, false},
        {"Windowed, a mode and OK", modes, {Act::Windowed, Act::OpenList, Act::PickFirst, Act::Ok}, true, false, 640, 480, 60, true},
        {"OK without a choice is Cancel", modes, {Act::Ok}, true, true, 0, 0, 0, false},
        {"Cancel after a choice", modes, {Act::OpenList, Act::PickLast, Act::Cancel}, true, true, 0, 0, 0, false},
        {"the close box is Cancel", modes, {Act::OpenList, Act::PickLast, Act::CloseBox}, true, true, 0, 0, 0, false},
        {"Enter and Escape do nothing", modes, {Act::OpenList, Act::PickLast, Act::Enter, Act::Escape}, false, true, 0, 0, 0, false},
        // A click beside an open list only closes it, as on every desktop.
        {"a click beside the open list closes it", modes, {Act::OpenList, Act::Ok}, false, true, 0, 0, 0, false},
        {"no modes at all: only Cancel is left", {}, {Act::OpenList, Act::Ok, Act::Ok}, true, true, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsDialog dialog(c.modes, kArchive);
        ASSERT_TRUE(dialog.Open());
        Steps(dialog, kStepsPerAction);
        for (Act act : c.acts) Do(dialog, act);
        EXPECT_EQ(!dialog.Step(), c.ended);
        const Settings settings = dialog.Result();
        EXPECT_EQ(settings.cancelled, c.cancelled);
        if (!c.cancelled) {
            EXPECT_EQ(std::tie(settings.width, settings.height, settings.refreshRate), std::tie(c.width, c.height, c.refresh));
        }
        EXPECT_EQ(settings.windowed, c.windowed);
        dialog.Close();
        EXPECT_EQ(dialog.Handle(), nullptr);
        EXPECT_EQ(MessageQueue::GetWindowProcedure(), nullptr) << "the dialog procedure is gone with the dialog";
    }
}

// The dialog with the archive and without one: the logo from the archive stands where the plain
// panel would be.
TEST_F(SettingsDialogTest, TheWindowIsCaptionedAndShowsTheLogoFromTheArchive)
{
    Picture shots[2];
    for (const char* archive : {kArchive, static_cast<const char*>(nullptr)}) {
        SettingsDialog dialog({{640, 480, 60}, {800, 600, 60}, {1024, 768, 75}}, archive);
        ASSERT_TRUE(dialog.Open());
        EXPECT_STREQ(SDL_GetWindowTitle(dialog.Handle()), "QRTLX04 - O Zelmar (The Brondel)");
        Steps(dialog, kStepsPerAction);
        Do(dialog, Act::OpenList);
        Do(dialog, Act::PickLast);
        shots[archive == nullptr] = Screenshot();
        if (archive == nullptr) continue;
        Do(dialog, Act::OpenList);
        SavePicture(Screenshot(), "settings_dialog_list.png");
    }
    SavePicture(shots[0], "settings_dialog.png");
    // The dialog is at least its 276 × 189 units of 1.5 × 1.625 pixels (a 13-pixel font).
    EXPECT_GE(shots[0].width, 414u);
    EXPECT_GE(shots[0].height, 307u);
    ASSERT_EQ(shots[0].rgba.size(), shots[1].rgba.size());
    size_t differ = 0;
    for (size_t i = 0; i < shots[0].rgba.size(); i += 4) differ += std::memcmp(&shots[0].rgba[i], &shots[1].rgba[i], 3) != 0 ? 1 : 0;
    EXPECT_GT(differ, 10000u) << "the logo covers 126 × 89 pixels at this size";
}

// The title on the real renderer and window: after the fade-in the screen shows the scenery (not
// black); closing the window then ends the showing.
TEST(TitleOnOpenGL, TheSceneryShowsOnceTheFadeInIsOver)
{
    constexpr double kStep = 1.0 / 4.0;  // seconds a frame: few frames, each costly in software
    ArchivePath = kArchive;
    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    MessageQueue::Reset();
    ASSERT_TRUE(Display::Init(640, 480, false, 32, 60, 0));
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
            if (frame.t >= 2.0f && shot.width == 0) {  // the fade-in is over
                shot = Screenshot();
                MessageQueue::PostMessage({WM_CLOSE, 0, 0});
            }
            if (frame.t > 60.0f) MessageQueue::PostQuitMessage(0);
            counter.AdvanceSeconds(kStep);
        });
        EXPECT_FALSE(title.Run(renderer));
        ASSERT_EQ(shot.width, 640u);
        SavePicture(shot, "title.png");
        size_t lit = 0;
        for (size_t i = 0; i < shot.rgba.size(); i += 4) lit += (shot.rgba[i] + shot.rgba[i + 1] + shot.rgba[i + 2]) > 60 ? 1 : 0;
        EXPECT_GT(lit, shot.rgba.size() / 4 / 4) << "at least a quarter of the screen is lit";
    }
    Display::Release();
    ShaderDirectory::Set("");
    MessageQueue::Reset();
    ArchivePath = nullptr;
}

}  // namespace
