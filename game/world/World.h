#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/platform/FrameTimer.h"
#include "engine/platform/Input.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Vec4.h"

class Entity;
class GameLink;
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

    // Reads the counter's frequency and start count; a world never started steps 0.1 s a frame.
    void StartTimer(PerformanceCounter* counter);
    // One frame: time step, input, collision pass, update pass, draw pass, render, present.
    void Step();
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

private:
    float lastStep_ = 0.0f;
};
