#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/world/FrameInput.h"

// A window message the level loop took from its queue (rather than dispatched).
enum class ReplayMessage : uint8_t {
    kEscape = 1,  // the Escape key going down
    kQuit = 2,    // the quit message: the window was closed
};

// One frame of a level play: how long it lasted, the input it read and the messages it took.
struct ReplayFrame {
    // The first taken message ends the play; more in the same frame change nothing, so a few are
    // kept and the rest dropped.
    static constexpr int kMaxMessages = 4;

    float dt = 0.0f;  // seconds
    FrameInput input;
    uint8_t messageCount = 0;
    ReplayMessage messages[kMaxMessages] = {};

    void Take(ReplayMessage message)
    {
        if (messageCount < kMaxMessages) messages[messageCount++] = message;
    }
    bool operator==(const ReplayFrame& other) const;
};

// A level play as it was played, frame by frame, with what it started from: the level script,
// and the two things a play inherits from the one before it in the same program (the ship's fire
// cooldown and the blink clock), so that playing it back gives the same play.
struct Replay {
    static constexpr int32_t kMaxFrames = 1 << 22;  // over 19 hours at 60 frames a second

    std::string script;
    int32_t width = 0;  // pixels of the display it was played on, for pictures on playback
    int32_t height = 0;
    float fireCooldown = 0.0f;  // seconds
    int32_t drawCounter = 0;
    std::vector<ReplayFrame> frames;
    // False once a play ran past kMaxFrames: the frames stop there, and the replay is not kept.
    bool complete = true;
};
