#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Message.h"
#include "game/shell/Settings.h"

class Window;
struct SDL_Window;
union SDL_Event;

// The first thing the program shows: a small dialog where the player picks the display mode from
// the display's 32-bit modes, reads two notes (requirements and controls), may ask for a window
// instead of full screen, and presses OK or Cancel. Laid out in dialog units scaled to the
// desktop's font; drawn with Dear ImGui on its own SDL window and OpenGL context, which are gone
// before the game's window opens.
//
// Only the mouse works it: Enter and Escape do nothing, the close box is Cancel, and OK without a
// chosen mode is Cancel too. Its messages run through MessageQueue like the game's: the dialog
// procedure is the window procedure while it is open, and its loop ends at the quit message
// that procedure posts.
class SettingsDialog {
public:
    struct Mode {
        int width = 0;
        int height = 0;
        int refresh = 0;
    };
    // Where a control was last drawn, in window pixels from the top left.
    struct Box {
        float x = 0.0f;
        float y = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        float CentreX() const { return x + width * 0.5f; }
        float CentreY() const { return y + height * 0.5f; }
    };
    struct Layout {
        Box ok;
        Box cancel;
        Box resolution;
        Box windowed;
        std::vector<Box> listEntries;  // the resolution list's entries while it is open
    };

    static constexpr const char* kCaption = "QRTLX04 - O Zelmar (The Brondel)";

    // The program's dialog: the display's 32-bit modes, the logo from the archive (null or a
    // missing archive or entry: a plain dark panel). Shown, run to its end and closed.
    static Settings Run(const char* archive);

    // The dialog of these modes, not yet shown.
    SettingsDialog(std::vector<Mode> modes, const char* archive);
    ~SettingsDialog();
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // Opens the window and shows the dialog; false (logged) when it cannot be shown.
    bool Open();
    // One turn of the loop: takes every waiting message (dispatching it to the dialog procedure)
    // and draws a frame. False once the quit message has arrived; the loop is then over.
    bool Step();
    // What the player chose, read from the list's text as the program reads it.
    Settings Result() const;
    // Destroys the window; also done by the destructor.
    void Close();

    const Layout& LastLayout() const { return layout_; }
    const std::vector<std::string>& Entries() const { return entries_; }
    SDL_Window* Handle() const;
    bool Windowed() const { return windowed_; }

    // The list's text for a mode: "800 x 600 : 60 hz".
    static std::string ModeText(const Mode& mode);
    // Reads width, height and refresh rate as the first three runs of decimal digits of the text.
    // False, leaving *settings alone, unless all three are there, width and height are positive
    // and every number fits kLargestNumber.
    static bool ParseMode(const std::string& text, Settings* settings);
    static constexpr int32_t kLargestNumber = 100000;
    // The display's 32-bit modes in the order it lists them.
    static std::vector<Mode> DisplayModes();

    // The dialog procedure: WM_CLOSE posts the quit message and records whether it came from OK
    // (long parameter non-zero); everything else is left alone.
    static int64_t Procedure(const Message& message);

private:
    struct Gui;

    static int OnEvent(void* self, SDL_Event* event);
    void Track(const SDL_Event& event);
    bool CreateGui();
    void DrawFrame();
    void DrawControls();
    void DrawResolutionList();
    void DrawLogo();
    void LogLayout();
    Box BoxOf(float x, float y, float width, float height) const;

    std::vector<Mode> modes_;
    std::vector<std::string> entries_;
    std::string archive_;
    int selected_ = -1;
    bool windowed_ = false;
    bool ended_ = false;
    bool layoutLogged_ = false;
    Box loggedEntry_;
    Layout layout_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<Gui> gui_;
    WindowProcedure previousProcedure_ = nullptr;
};
