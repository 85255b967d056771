#include "game/shell/SettingsDialog.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>

#include <cctype>
#include <cfloat>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/device/Display.h"
#include "engine/platform/Log.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/Window.h"
#include "engine/scene/Picture.h"
#include "engine/unrarlib/RarExtract.h"
#include "game/shell/DesktopFont.h"

namespace {

// A control's place in dialog units: a horizontal unit is a quarter of the font's average
// character width, a vertical one an eighth of its height.
struct UnitRect {
    float x, y, width, height;
};

constexpr float kDialogWidth = 276.0f;  // dialog units
constexpr float kDialogHeight = 189.0f;
constexpr UnitRect kLogo{185, 127, 84, 55};
constexpr UnitRect kOkButton{219, 21, 50, 14};
constexpr UnitRect kCancelButton{219, 46, 50, 14};
constexpr UnitRect kResolutionList{29, 21, 81, 134};  // the height includes the open list
constexpr UnitRect kResolutionLabel{29, 13, 34, 8};
constexpr UnitRect kWindowedBox{29, 40, 81, 10};
constexpr UnitRect kRequirementsNote{29, 63, 97, 93};
constexpr UnitRect kControlsNote{136, 63, 133, 66};
constexpr float kClosedListHeight = 14.0f;

constexpr const char* kResolutionText = "Resolution";
constexpr const char* kWindowedText = "Windowed";
constexpr const char* kRequirementsText =
    "Please notice\n\nThis game is not properly optimized and, so, don't select a very hight graphics defenition "
    "(put in 640x480 no kiding). Game needs PS2.0 for running (GeForceFx 5200 or Radeon 9500). Game may crash if "
    "you don't have such system.";
constexpr const char* kControlsText =
    "Game Controls\n\nThe controls are simple. Use mouse to move the ship and press left button to fire. There is "
    "only one type of fire that will never run out ouf ammo.\nFuture projects may include some more objects to "
    "play with.";

constexpr const char* kLogoEntry = "logo.bmp";
constexpr int kLogoWidth = 126;  // pixels at the reference font size
constexpr int kLogoHeight = 89;
constexpr float kReferenceFontPixels = 13.0f;
constexpr uint32_t kModeBits = 32;
// Frames drawn after input before waiting again, so that what a click opens shows at once.
constexpr int kFramesAfterInput = 3;
constexpr int kIdleWaitMilliseconds = 250;

const ImVec4 kFaceColour{0.83f, 0.82f, 0.78f, 1.0f};
const ImVec4 kPanelColour{0.12f, 0.12f, 0.16f, 1.0f};

// The outcome the dialog procedure hands to the loop: whether WM_CLOSE came from OK.
bool accepted = false;

ImVec2 Vec(float x, float y) { return ImVec2(x, y); }

}  // namespace

struct SettingsDialog::Gui {
    SDL_GLContext context = nullptr;
    ImGuiContext* imgui = nullptr;
    bool sdlBackend = false;
    bool glBackend = false;
    GLuint logo = 0;
    float unitX = 1.5f;  // pixels per dialog unit
    float unitY = 1.625f;
    float scale = 1.0f;  // font pixels over the reference font's
    // The pointer as the last mouse event placed it: pushed events move no real pointer.
    bool mouseKnown = false;
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    bool leftDown = false;
    int framesToDraw = kFramesAfterInput;
};

std::string SettingsDialog::ModeText(const Mode& mode)
{
    return std::to_string(mode.width) + " x " + std::to_string(mode.height) + " : " + std::to_string(mode.refresh) + " hz";
}

bool SettingsDialog::ParseMode(const std::string& text, Settings* settings)
{
    int32_t numbers[3] = {};
    int found = 0;
    for (size_t i = 0; i < text.size() && found < 3;) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        int64_t value = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            value = value * 10 + (text[i] - '0');
            if (value > kLargestNumber) return false;
        }
        numbers[found++] = static_cast<int32_t>(value);
    }
    if (found < 3 || numbers[0] <= 0 || numbers[1] <= 0) return false;
    settings->width = numbers[0];
    settings->height = numbers[1];
    settings->refreshRate = numbers[2];
    return true;
}

std::vector<SettingsDialog::Mode> SettingsDialog::DisplayModes()
{
    std::vector<Mode> modes;
    const int count = Display::ModeCount(kModeBits);
    for (int i = 0; i < count; ++i) {
        modes.push_back({Display::ModeWidth(kModeBits, i), Display::ModeHeight(kModeBits, i), Display::ModeRefresh(kModeBits, i)});
    }
    return modes;
}

int64_t SettingsDialog::Procedure(const Message& message)
{
    if (message.message == WM_CLOSE) {
        MessageQueue::PostQuitMessage(0);
        accepted = message.lParam != 0;
        return 1;
    }
    return 0;
}

Settings SettingsDialog::Run(const char* archive)
{
    SettingsDialog dialog(DisplayModes(), archive);
    if (!dialog.Open()) {
        Settings failed;
        failed.failed = true;
        return failed;
    }
    while (dialog.Step()) {
        if (dialog.gui_->framesToDraw > 0) --dialog.gui_->framesToDraw;
        else SDL_WaitEventTimeout(nullptr, kIdleWaitMilliseconds);
    }
    const Settings settings = dialog.Result();
    dialog.Close();
    return settings;
}

SettingsDialog::SettingsDialog(std::vector<Mode> modes, const char* archive)
    : modes_(std::move(modes)), archive_(archive != nullptr ? archive : "")
{
    for (const Mode& mode : modes_) entries_.push_back(ModeText(mode));
}

SettingsDialog::~SettingsDialog()
{
    Close();
}

SDL_Window* SettingsDialog::Handle() const
{
    return window_ ? window_->Handle() : nullptr;
}

bool SettingsDialog::Open()
{
    Close();
    accepted = false;
    ended_ = false;
    layoutLogged_ = false;
    loggedEntry_ = Box();
    selected_ = -1;
    windowed_ = false;
    window_ = Window::Create(kCaption, static_cast<int>(kDialogWidth * 1.5f), static_cast<int>(kDialogHeight * 1.625f), 0);
    if (!window_) {
        Log::Print(4, "Cannot show the settings dialog\n");
        return false;
    }
    gui_ = std::make_unique<Gui>();
    if (!CreateGui()) {
        Close();
        return false;
    }
    previousProcedure_ = MessageQueue::GetWindowProcedure();
    MessageQueue::SetWindowProcedure(Procedure);
    SDL_AddEventWatch(&SettingsDialog::OnEvent, this);
    window_->Show();
    return true;
}

void SettingsDialog::Close()
{
    if (!window_) return;
    SDL_DelEventWatch(&SettingsDialog::OnEvent, this);
    if (MessageQueue::GetWindowProcedure() == Procedure) MessageQueue::SetWindowProcedure(previousProcedure_);
    if (gui_) {
        if (gui_->context) SDL_GL_MakeCurrent(window_->Handle(), gui_->context);
        if (gui_->glBackend) ImGui_ImplOpenGL3_Shutdown();
        if (gui_->sdlBackend) ImGui_ImplSDL2_Shutdown();
        if (gui_->imgui) ImGui::DestroyContext(gui_->imgui);
        if (gui_->logo) glDeleteTextures(1, &gui_->logo);
        if (gui_->context) SDL_GL_DeleteContext(gui_->context);
        gui_.reset();
    }
    window_.reset();
}

namespace {

// The font, and from it the size of a dialog unit, as the desktop would draw the dialog.
ImFont* LoadFont(float dotsPerInch)
{
    ImGuiIO& io = ImGui::GetIO();
    const DesktopFont desktop = DesktopFont::Find(dotsPerInch);
    if (!desktop.path.empty()) {
        std::ifstream file(desktop.path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!bytes.empty()) {
            // The atlas takes ownership of memory from its own allocator.
            void* data = ImGui::MemAlloc(bytes.size());
            std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
            if (ImFont* font = io.Fonts->AddFontFromMemoryTTF(data, static_cast<int>(bytes.size()), desktop.pixelSize)) return font;
        }
    }
    ImFontConfig config;
    config.SizePixels = desktop.pixelSize;
    return io.Fonts->AddFontDefault(&config);
}

void StyleLikeADialog(float unitY, float fontSize)
{
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = Vec(0, 0);
    style.WindowRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.FrameRounding = 0.0f;
    style.FrameBorderSize = 1.0f;
    style.PopupBorderSize = 1.0f;
    style.FramePadding.y = std::max(0.0f, (kClosedListHeight * unitY - fontSize) * 0.5f);
    style.Colors[ImGuiCol_WindowBg] = kFaceColour;
    style.Colors[ImGuiCol_Button] = kFaceColour;
    style.Colors[ImGuiCol_FrameBg] = ImVec4(1, 1, 1, 1);
    style.Colors[ImGuiCol_Border] = ImVec4(0.3f, 0.3f, 0.3f, 1.0f);
}

GLuint LogoTexture(const std::string& archive)
{
    if (archive.empty()) return 0;
    char* data = nullptr;
    unsigned long size = 0;
    if (RarExtract(&data, &size, kLogoEntry, archive.c_str(), nullptr) == 0) return 0;
    Picture picture;
    const bool decoded = DecodePicture(reinterpret_cast<const uint8_t*>(data), size, picture);
    std::free(data);
    if (!decoded) return 0;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(picture.width), static_cast<GLsizei>(picture.height), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
    return texture;
}

}  // namespace

bool SettingsDialog::CreateGui()
{
    SDL_Window* handle = window_->Handle();
    gui_->context = SDL_GL_CreateContext(handle);
    if (gui_->context == nullptr) {
        Log::Print(4, "Cannot draw the settings dialog: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(handle, gui_->context);
    gui_->imgui = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the dialog writes nothing
    io.LogFilename = nullptr;

    float dotsPerInch = 0.0f;
    const int display = SDL_GetWindowDisplayIndex(handle);
    if (SDL_GetDisplayDPI(display < 0 ? 0 : display, nullptr, nullptr, &dotsPerInch) != 0) dotsPerInch = 0.0f;
    ImFont* font = LoadFont(dotsPerInch);
    io.Fonts->Build();
    // A dialog unit as the window system defines it from the font's average letter and height.
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const float averageWidth = font->CalcTextSizeA(font->FontSize, FLT_MAX, 0.0f, letters).x / 52.0f;
    gui_->unitX = averageWidth / 4.0f;
    gui_->unitY = font->FontSize / 8.0f;
    gui_->scale = font->FontSize / kReferenceFontPixels;
    StyleLikeADialog(gui_->unitY, font->FontSize);
    SDL_SetWindowSize(handle, static_cast<int>(kDialogWidth * gui_->unitX + 0.5f), static_cast<int>(kDialogHeight * gui_->unitY + 0.5f));
    SDL_SetWindowPosition(handle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);

    gui_->sdlBackend = ImGui_ImplSDL2_InitForOpenGL(handle, gui_->context);
    gui_->glBackend = gui_->sdlBackend && ImGui_ImplOpenGL3_Init("#version 330 core");
    if (!gui_->glBackend) {
        Log::Print(4, "Cannot draw the settings dialog: the interface toolkit did not start\n");
        return false;
    }
    gui_->logo = LogoTexture(archive_);
    return true;
}

int SettingsDialog::OnEvent(void* self, SDL_Event* event)
{
    static_cast<SettingsDialog*>(self)->Track(*event);
    return 0;
}

void SettingsDialog::Track(const SDL_Event& event)
{
    if (!gui_ || !gui_->glBackend) return;
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(gui_->imgui);
    ImGui_ImplSDL2_ProcessEvent(&event);
    ImGui::SetCurrentContext(previous);
    gui_->framesToDraw = kFramesAfterInput;
    if (event.type == SDL_MOUSEMOTION) {
        gui_->mouseKnown = true;
        gui_->mouseX = static_cast<float>(event.motion.x);
        gui_->mouseY = static_cast<float>(event.motion.y);
    } else if ((event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) && event.button.button == SDL_BUTTON_LEFT) {
        gui_->mouseKnown = true;
        gui_->mouseX = static_cast<float>(event.button.x);
        gui_->mouseY = static_cast<float>(event.button.y);
        gui_->leftDown = event.type == SDL_MOUSEBUTTONDOWN;
    }
}

bool SettingsDialog::Step()
{
    if (ended_ || !gui_) return false;
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT) {
            ended_ = true;
            return false;
        }
        MessageQueue::TranslateMessage(message);
        MessageQueue::DispatchMessage(message);
    }
    DrawFrame();
    return true;
}

Settings SettingsDialog::Result() const
{
    Settings settings;
    settings.windowed = windowed_;
    if (!accepted) return settings;
    const std::string text = selected_ >= 0 ? entries_[static_cast<size_t>(selected_)] : std::string();
    settings.cancelled = text.empty() || !ParseMode(text, &settings);
    return settings;
}

void SettingsDialog::DrawFrame()
{
    SDL_Window* handle = window_->Handle();
    SDL_GL_MakeCurrent(handle, gui_->context);
    ImGui::SetCurrentContext(gui_->imgui);
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    if (gui_->mouseKnown) io.MousePos = Vec(gui_->mouseX, gui_->mouseY);
    io.MouseDown[0] = io.MouseDown[0] || gui_->leftDown;
    ImGui::NewFrame();
    DrawControls();
    LogLayout();
    ImGui::Render();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(handle, &width, &height);
    glViewport(0, 0, width, height);
    glClearColor(kFaceColour.x, kFaceColour.y, kFaceColour.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    SDL_GL_SwapWindow(handle);
}

// Where the controls are, once, and the first mode whenever it moves (a list settles where it
// opens a frame after it appears): what a script that drives the dialog with a pointer needs.
void SettingsDialog::LogLayout()
{
    const auto print = [](const char* name, const Box& box) {
        Log::Print(1, "settings: %s at %.0f,%.0f\n", name, box.CentreX(), box.CentreY());
    };
    if (!layoutLogged_) {
        print("resolution list", layout_.resolution);
        print("Windowed", layout_.windowed);
        print("OK", layout_.ok);
        print("Cancel", layout_.cancel);
        layoutLogged_ = true;
    }
    if (!layout_.listEntries.empty()) {
        const Box& first = layout_.listEntries.front();
        if (first.x != loggedEntry_.x || first.y != loggedEntry_.y) print("first mode", first);
        loggedEntry_ = first;
    }
}

SettingsDialog::Box SettingsDialog::BoxOf(float x, float y, float width, float height) const
{
    return {x * gui_->unitX, y * gui_->unitY, width * gui_->unitX, height * gui_->unitY};
}

namespace {

SettingsDialog::Box LastItem()
{
    const ImVec2 min = ImGui::GetItemRectMin();
    const ImVec2 max = ImGui::GetItemRectMax();
    return {min.x, min.y, max.x - min.x, max.y - min.y};
}

// Static text as the window system draws it: notes wrapped at the control's width, everything
// cut at its foot. Neither is cut at the right: a desktop font may be wider for a word than the
// dialog's own was, and a one-word label is better whole than cut to "Resolutio".
void StaticText(const SettingsDialog::Box& box, const char* text, bool wrap)
{
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec4 clip(box.x, box.y, ImGui::GetIO().DisplaySize.x, box.y + box.height);
    draw->AddText(ImGui::GetFont(), ImGui::GetFontSize(), Vec(box.x, box.y), IM_COL32(0, 0, 0, 255), text, nullptr,
                  wrap ? box.width : 0.0f, &clip);
}

}  // namespace

void SettingsDialog::DrawControls()
{
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus;
    ImGui::SetNextWindowPos(Vec(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("##settings", nullptr, flags);

    StaticText(BoxOf(kResolutionLabel.x, kResolutionLabel.y, kResolutionLabel.width, kResolutionLabel.height), kResolutionText, false);
    DrawResolutionList();

    const Box windowed = BoxOf(kWindowedBox.x, kWindowedBox.y, kWindowedBox.width, kWindowedBox.height);
    ImGui::SetCursorPos(Vec(windowed.x, windowed.y));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, Vec(ImGui::GetStyle().FramePadding.x, 0.0f));
    ImGui::Checkbox(kWindowedText, &windowed_);
    ImGui::PopStyleVar();
    layout_.windowed = LastItem();

    const Box ok = BoxOf(kOkButton.x, kOkButton.y, kOkButton.width, kOkButton.height);
    ImGui::SetCursorPos(Vec(ok.x, ok.y));
    if (ImGui::Button("OK", Vec(ok.width, ok.height))) MessageQueue::DispatchMessage({WM_CLOSE, 0, 1});
    layout_.ok = LastItem();
    const Box cancel = BoxOf(kCancelButton.x, kCancelButton.y, kCancelButton.width, kCancelButton.height);
    ImGui::SetCursorPos(Vec(cancel.x, cancel.y));
    if (ImGui::Button("Cancel", Vec(cancel.width, cancel.height))) MessageQueue::DispatchMessage({WM_CLOSE, 0, 0});
    layout_.cancel = LastItem();

    StaticText(BoxOf(kRequirementsNote.x, kRequirementsNote.y, kRequirementsNote.width, kRequirementsNote.height), kRequirementsText, true);
    StaticText(BoxOf(kControlsNote.x, kControlsNote.y, kControlsNote.width, kControlsNote.height), kControlsText, true);
    DrawLogo();
    ImGui::End();
}

void SettingsDialog::DrawResolutionList()
{
    const Box list = BoxOf(kResolutionList.x, kResolutionList.y, kResolutionList.width, kResolutionList.height);
    ImGui::SetCursorPos(Vec(list.x, list.y));
    ImGui::SetNextItemWidth(list.width);
    ImGui::SetNextWindowSizeConstraints(Vec(0, 0), Vec(FLT_MAX, list.height - kClosedListHeight * gui_->unitY));
    const char* preview = selected_ >= 0 ? entries_[static_cast<size_t>(selected_)].c_str() : "";
    layout_.listEntries.clear();
    const bool open = ImGui::BeginCombo("##resolution", preview);
    layout_.resolution = LastItem();
    if (!open) return;
    for (size_t i = 0; i < entries_.size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(entries_[i].c_str(), selected_ == static_cast<int>(i))) selected_ = static_cast<int>(i);
        layout_.listEntries.push_back(LastItem());
        ImGui::PopID();
    }
    ImGui::EndCombo();
}

void SettingsDialog::DrawLogo()
{
    const Box box = BoxOf(kLogo.x, kLogo.y, 0, 0);
    const ImVec2 size = Vec(kLogoWidth * gui_->scale, kLogoHeight * gui_->scale);
    ImGui::SetCursorPos(Vec(box.x, box.y));
    if (gui_->logo != 0) {
        ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(gui_->logo)), size);
        return;
    }
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(Vec(box.x, box.y), Vec(box.x + size.x, box.y + size.y), ImGui::ColorConvertFloat4ToU32(kPanelColour));
}
