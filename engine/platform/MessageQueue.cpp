#include "engine/platform/MessageQueue.h"

#include <SDL.h>

namespace {

struct QueueState {
    std::deque<Message> messages;
    bool quitPosted = false;
    int quitCode = 0;
    WindowProcedure procedure = nullptr;
};

QueueState& State()
{
    static QueueState state;
    return state;
}

}  // namespace

uint32_t MessageQueue::VirtualKeyOf(int sdlKeycode)
{
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z) return static_cast<uint32_t>('A' + (sdlKeycode - SDLK_a));
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9) return static_cast<uint32_t>('0' + (sdlKeycode - SDLK_0));
    if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12) return VK_F1 + static_cast<uint32_t>(sdlKeycode - SDLK_F1);
    switch (sdlKeycode) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

uint32_t MessageQueue::ControllerKeyOf(int sdlButton)
{
    if (sdlButton == SDL_CONTROLLER_BUTTON_START) return VK_RETURN;
    if (sdlButton == SDL_CONTROLLER_BUTTON_BACK) return VK_ESCAPE;
    return 0;
}

bool MessageQueue::MessageOf(const SDL_Event& event, Message* message)
{
    switch (event.type) {
    case SDL_QUIT:
        *message = {WM_CLOSE, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) *message = {WM_CLOSE, 0, 0};
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) *message = {WM_SETFOCUS, 0, 0};
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) *message = {WM_KILLFOCUS, 0, 0};
        else return false;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const uint32_t key = VirtualKeyOf(event.key.keysym.sym);
        if (key == 0) return false;
        const bool down = event.type == SDL_KEYDOWN;
        const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        const uint32_t kind = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
        *message = {kind, key, event.key.repeat ? 1 : 0};
        return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const uint32_t key = ControllerKeyOf(event.cbutton.button);
        if (key == 0) return false;
        *message = {event.type == SDL_CONTROLLERBUTTONDOWN ? WM_KEYDOWN : WM_KEYUP, key, 0};
        return true;
    }
    default: return false;
    }
}

void MessageQueue::PumpEvents()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Message message;
        if (MessageOf(event, &message)) State().messages.push_back(message);
    }
}

bool MessageQueue::PeekMessage(Message* message)
{
    QueueState& state = State();
    PumpEvents();
    if (!state.messages.empty()) {
        *message = state.messages.front();
        state.messages.pop_front();
        return true;
    }
    if (state.quitPosted) {
        state.quitPosted = false;
        *message = {WM_QUIT, static_cast<uint64_t>(state.quitCode), 0};
        return true;
    }
    return false;
}

void MessageQueue::TranslateMessage(const Message&) {}

int64_t MessageQueue::DispatchMessage(const Message& message)
{
    WindowProcedure procedure = State().procedure;
    return procedure ? procedure(message) : 0;
}

void MessageQueue::PostQuitMessage(int exitCode)
{
    State().quitPosted = true;
    State().quitCode = exitCode;
}

void MessageQueue::PostMessage(const Message& message)
{
    State().messages.push_back(message);
}

void MessageQueue::SetWindowProcedure(WindowProcedure procedure)
{
    State().procedure = procedure;
}

WindowProcedure MessageQueue::GetWindowProcedure()
{
    return State().procedure;
}

void MessageQueue::Reset()
{
    State().messages.clear();
    State().quitPosted = false;
    State().quitCode = 0;
}
