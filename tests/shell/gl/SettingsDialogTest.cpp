#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/platform/MessageQueue.h"
#include "game/shell/SettingsDialog.h"
#include "tests/shell/StandInData.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

constexpr int kStepsPerAction = 3;  // frames for the toolkit to see a press, a release, an opened list

enum class Act { OpenList, PickLast, PickFirst, Ok, Cancel, Windowed, CloseBox, Enter, Escape };

// What the window shows now, as a picture (the front buffer holds the last frame shown).
Picture Screenshot(SDL_Window* window)
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
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
    const std::filesystem::path folder = HARN_BINARY_DIR "/picture_results";
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> png = PictureWriter::Png(picture);
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

// The dialog on the real window system, worked by SDL events pushed as the window system would
// send them: the pointer moved onto a control, the button pressed and released there.
class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageQueue::Reset();
        ASSERT_TRUE(standin::WriteArchive(folder_ / "data.qzr"));
    }
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

    TempFolder folder_{"dialog"};
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
        SettingsDialog dialog(c.modes, (folder_ / "data.qzr").c_str());
        ASSERT_TRUE(dialog.Open());
        Steps(dialog, kStepsPerAction);
        for (Act act : c.acts) Do(dialog, act);
        EXPECT_EQ(!dialog.Step(), c.ended);
        const Settings settings = dialog.Result();
        EXPECT_EQ(settings.cancelled, c.cancelled);
        if (!c.cancelled) {
            EXPECT_EQ(settings.width, c.width);
            EXPECT_EQ(settings.height, c.height);
            EXPECT_EQ(settings.refreshRate, c.refresh);
        }
        EXPECT_EQ(settings.windowed, c.windowed);
        dialog.Close();
        EXPECT_EQ(dialog.Handle(), nullptr);
        EXPECT_EQ(MessageQueue::GetWindowProcedure(), nullptr) << "the dialog procedure is gone with the dialog";
    }
}

TEST_F(SettingsDialogTest, TheWindowIsCaptionedAndShowsTheNotesAndTheLogo)
{
    SettingsDialog dialog({{640, 480, 60}, {800, 600, 60}, {1024, 768, 75}}, (folder_ / "data.qzr").c_str());
    ASSERT_TRUE(dialog.Open());
    EXPECT_STREQ(SDL_GetWindowTitle(dialog.Handle()), "QRTLX04 - O Zelmar (The Brondel)");
    Steps(dialog, kStepsPerAction);
    Do(dialog, Act::OpenList);
    Do(dialog, Act::PickLast);
    const Picture picture = Screenshot(dialog.Handle());
    SavePicture(picture, "settings_dialog.png");
    // The dialog is at least its 276 × 189 units of 1.5 × 1.625 pixels (a 13-pixel font).
    EXPECT_GE(picture.width, 414u);
    EXPECT_GE(picture.height, 307u);
    // The stand-in logo's orange ring lies in the logo's corner of the dialog.
    size_t orange = 0;
    for (size_t i = 0; i + 3 < picture.rgba.size(); i += 4) {
        if (picture.rgba[i] > 200 && picture.rgba[i + 1] > 130 && picture.rgba[i + 1] < 190 && picture.rgba[i + 2] < 90) ++orange;
    }
    EXPECT_GT(orange, 200u);
    Do(dialog, Act::OpenList);
    SavePicture(Screenshot(dialog.Handle()), "settings_dialog_list.png");
}

}  // namespace
