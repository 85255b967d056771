#pragma once

#include <functional>

#include "engine/scene/SceneModel.h"

class PerformanceCounter;
class Renderer;

// What one frame of the title screen showed, for whoever watches the showing (tests, timing).
struct TitleFrame {
    float t = 0.0f;       // seconds since the showing began
    float dt = 0.0f;      // the previous frame's length in seconds
    float prompt = 0.0f;  // the prompt's blink value, 0..1
    float fade = 0.0f;    // the fade handed to the renderer: 1 all black, 0 none
    bool leaving = false; // Enter or Escape has been accepted
    bool result = false;  // true for Enter
    bool done = false;    // this was the last frame
};

// The title screen shown before every level: the level's scenery through its animated intro
// camera, the banner over the upper half, a blinking prompt near the bottom and the music from
// its first order. It fades in from black over 2 s; Enter (start the level) or Escape (leave the
// game) fades it out over 2 s, counted from the key, once the fade-in is over. A closed window
// ends it at once. Everything it loads is let go when it ends, so every showing loads afresh.
class TitleScreen {
public:
    using FrameObserver = std::function<void(const TitleFrame& frame)>;

    // The counter gives the time base (tests fix it); it must outlive the title screen.
    explicit TitleScreen(PerformanceCounter& counter);
    TitleScreen(const TitleScreen&) = delete;
    TitleScreen& operator=(const TitleScreen&) = delete;

    // Shows the title screen with the given renderer, running its own message and frame loop, and
    // returns true when the player chose to start the level.
    bool Run(Renderer& renderer);

    // Called after each frame is presented, before the time is read for the next one.
    void SetFrameObserver(FrameObserver observer) { observer_ = std::move(observer); }

    // The title model: the level's scenery while a showing runs, empty between showings.
    SceneModel& Model() { return model_; }

private:
    SceneModel model_;
    PerformanceCounter* counter_;
    FrameObserver observer_;
};
