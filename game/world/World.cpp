#include "game/world/World.h"

#include "game/world/Entity.h"
#include "engine/render/GraphicsDevice.h"
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
    input.Update();
    SceneNode::CollisionPass(this, root);
    SceneNode::UpdatePass(this, root, lastStep_);
    SceneNode::DrawPass(this, root);
    renderer.Render(fadeColour, fade);
    if (GraphicsDevice* device = GraphicsDevice::Current()) device->Present();
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
