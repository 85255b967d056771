#pragma once

class Input;

// Input that does not come from the devices: a recorded or scripted session, or a bot. The game
// asks it for the frame's window messages before it reads its queue, and the world asks it for
// the frame's time step and lets it write the frame's keyboard, mouse and controller state right
// after the devices were read, so that everything downstream sees it exactly as it would see a
// player's.
class InputFeed {
public:
    virtual ~InputFeed() = default;
    // Posts the messages of this frame (Escape going down) to the message queue.
    virtual void PostMessages() = 0;
    // Writes this frame's state over the keyboard and mouse; creates the device records when the
    // input has none. Called once per frame: the feed moves on to its next frame.
    virtual void Apply(Input& input) = 0;
    // A feed that knows how long its frames lasted (a recording) gives this frame's step in
    // seconds, which the world then takes instead of its clock's; others give nothing.
    virtual bool TimeStep(float* seconds) const { return false; }
};
