#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/math/Vec4.h"
#include "engine/platform/FrameTimer.h"
#include "engine/platform/Input.h"
#include "engine/render/Renderer.h"

class Entity;
class GameLink;
class InputFeed;
class PerformanceCounter;
class SceneNode;

// The frame object handed to every entity operation: the scene tree, the frame timer, the
// prototype table, the fade, the input and the in-game renderer. Without a window the input reads
// nothing, and without a current device the renderer and the present draw nothing, so tools and
// tests step a world headless.
class World {
public:
    World();
    virtual ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Called in Step after the frame is rendered and before it is presented (screenshots).
    using FrameHook = void (*)(void* context);
    void SetBeforePresent(FrameHook hook, void* context)
    {
        beforePresent_ = hook;
        beforePresentContext_ = context;
    }

    // Reads the counter's frequency and start count; a world never started steps 0.1 s a frame.
    void StartTimer(PerformanceCounter* counter);
    // Every later frame steps exactly this many seconds instead of the counter's time (replays,
    // tests, tools); 0 goes back to the counter.
    void SetFixedStep(float seconds) { fixedStep_ = seconds; }
    // Off: frames are stepped and submitted as usual, but the renderer discards them instead of
    // drawing (a tool that only needs some frames' pictures plays the rest at the speed of the
    // null device).
    void SetDrawing(bool drawing) { drawing_ = drawing; }
    // One frame: time step (the feed's, when it has one), input (then the feed, when there is
    // one), collision pass, update pass, draw pass, render, present.
    void Step();
    // The fade handed to the renderer for the world's fade: the same, except that exactly 1
    // becomes the float just below it, so that no submission outlives its frame.
    static float RenderedFade(float fade);
    // The time step of the last Step.
    float LastStep() const { return lastStep_; }

    void Attach(SceneNode* node);
    // Deletes the root with everything still attached and starts an empty tree.
    void ResetTree();

    // Stores the prototype under an exact, case-sensitive keyword; a second registration of the
    // same keyword replaces the first, which is deleted unless another keyword still holds it. The
    // world owns its prototypes.
    void RegisterPrototype(const char* keyword, Entity* prototype);
    // A fresh clone of the keyword's prototype, owned by the caller, or null for an unknown keyword.
    Entity* Create(const char* keyword);

    SceneNode* root;
    FrameTimer timer;
    Vec4 fadeColour{0.0f, 0.0f, 0.0f, 1.0f};
    float fade = 0.0f;  // 0 none, 1 fully covered
    std::map<std::string, std::shared_ptr<Entity>> prototypes;
    Input input;
    Renderer renderer;
    GameLink* game = nullptr;
    InputFeed* inputFeed = nullptr;  // not owned

private:
    float lastStep_ = 0.0f;
    float fixedStep_ = 0.0f;
    bool drawing_ = true;
    FrameHook beforePresent_ = nullptr;
    void* beforePresentContext_ = nullptr;
};
