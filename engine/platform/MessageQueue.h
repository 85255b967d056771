#pragma once

#include <deque>

#include "engine/platform/Message.h"

union SDL_Event;

// The thread's message queue over SDL's event queue. PeekMessage first turns pending SDL events into
// messages (a close request into WM_CLOSE, keys into WM_KEYDOWN and WM_KEYUP with virtual key codes,
// or WM_SYSKEYDOWN and WM_SYSKEYUP while Alt is held, a game controller's Start and Back buttons into
// the Enter and Escape key messages, focus changes into WM_SETFOCUS and WM_KILLFOCUS; other events
// are not messages), then removes the oldest. PostQuitMessage behaves as the window system's: WM_QUIT is handed out only once no other
// message is waiting, so it arrives after everything queued before it and after messages that
// dispatching those produces.
//
// This is the only reader of SDL's event queue. Other layers that need the events (input) watch them
// with SDL_AddEventWatch, which also sees events pushed by tests.
class MessageQueue {
public:
    // Removes the next message into *message; false when none is waiting.
    static bool PeekMessage(Message* message);
    // Kept for the loops' shape: key messages carry virtual keys already, so there is nothing to do.
    static void TranslateMessage(const Message& message);
    // Hands the message to the window procedure; 0 when there is none.
    static int64_t DispatchMessage(const Message& message);
    static void PostQuitMessage(int exitCode);
    // Appends a message behind those already waiting.
    static void PostMessage(const Message& message);

    // The game window's procedure; null to detach.
    static void SetWindowProcedure(WindowProcedure procedure);
    static WindowProcedure GetWindowProcedure();

    // Drops every waiting message and a posted quit; for tests and a fresh start.
    static void Reset();

    // The virtual key of an SDL key code, 0 for keys the game has no code for.
    static uint32_t VirtualKeyOf(int sdlKeycode);
    // The virtual key a game controller button stands for (an SDL_GameControllerButton), 0 for none.
    static uint32_t ControllerKeyOf(int sdlButton);

private:
    static void PumpEvents();
    static bool MessageOf(const SDL_Event& event, Message* message);
};
