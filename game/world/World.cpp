#include "game/world/World.h"

#include <cmath>

#include "engine/device/GraphicsDevice.h"
#include "game/world/Entity.h"
#include "game/world/InputFeed.h"
#include "game/world/SceneNode.h"

World::World() : root(new SceneNode) {}

World::~World()
{
    delete root;
}

void World::StartTimer(PerformanceCounter* counter)
{
    timer.Start(counter);
}

void World::Step()
{
    lastStep_ = timer.Step();
    if (fixedStep_ > 0.0f) lastStep_ = fixedStep_;
    if (float recorded = 0.0f; inputFeed != nullptr && inputFeed->TimeStep(&recorded)) lastStep_ = recorded;
    input.Update();
    if (inputFeed != nullptr) inputFeed->Apply(input);
    SceneNode::CollisionPass(this, root);
    SceneNode::UpdatePass(this, root, lastStep_);
    SceneNode::DrawPass(this, root);
    if (drawing_) {
        renderer.Render(fadeColour, RenderedFade(fade));
    } else {
        renderer.DiscardFrame();
    }
    if (beforePresent_ != nullptr) beforePresent_(beforePresentContext_);
    if (GraphicsDevice* device = GraphicsDevice::Current()) device->Present();
}

// At a fade of exactly 1 the renderer keeps the frame's submissions queued for the next frame, but
// the records are the actors' own: a shot deleted by the next collision pass, or a model emptied
// from its cache at the end of the level, would then be read after it is gone. The float just
// below 1 covers the picture all the same (the overlay's alpha is 254 of 255) and lets the
// renderer empty its lists.
float World::RenderedFade(float fade)
{
    return fade == 1.0f ? std::nextafter(1.0f, 0.0f) : fade;
}

void World::Attach(SceneNode* node)
{
    SceneNode::AddChild(root, node);
}

void World::ResetTree()
{
    delete root;
    root = new SceneNode;
}

void World::RegisterPrototype(const char* keyword, Entity* prototype)
{
    // One prototype may stand under several keywords: they share it, and it is deleted once, when
    // the last keyword lets it go. Registering the stored pointer again changes nothing.
    std::shared_ptr<Entity> shared;
    for (const auto& [name, stored] : prototypes) {
        if (stored.get() == prototype) shared = stored;
    }
    if (!shared) shared.reset(prototype);
    prototypes[keyword] = std::move(shared);
}

Entity* World::Create(const char* keyword)
{
    const auto found = prototypes.find(keyword);
    if (found == prototypes.end() || found->second == nullptr) return nullptr;
    return found->second->clone();
}
