#pragma once

#include "game/world/SceneNode.h"

// Everything that lives in a level. load acquires models, textures and sounds through the caches
// and sets the initial state; clone makes a fresh object of the same class for the factory.
class Entity : public SceneNode {
public:
    virtual void load(World* world) = 0;
    virtual void unload() = 0;
    // A new heap object of the same class in its freshly constructed state (not loaded, not parsed).
    virtual Entity* clone() = 0;
    // "Player", "Enemy", "Ammo", or null; actors compare these texts exactly.
    virtual const char* groupName() { return nullptr; }
    // The class's name as the level script and the game's reports write it ("DefenderN1",
    // "BossN1", "PlayerShot"), or null.
    virtual const char* typeName() const { return nullptr; }
};
