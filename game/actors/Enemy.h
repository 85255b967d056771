#pragma once

#include <cstdint>

#include "game/actors/Explosion.h"
#include "game/world/ScriptedEntity.h"

class SceneModel;

// The base of every hostile actor the script places: hit points, a shared model, the destroyed
// flag and the death explosion; death and the removal of enemies the ship has left behind.
class Enemy : public ScriptedEntity {
public:
    static constexpr int32_t kDestroyed = 1;          // flag bit
    static constexpr int32_t kSpentHitPoints = 2147483647;  // after death, so that it runs once
    static constexpr float kCullDistance = -85.0f;    // units behind the scroll point
    static constexpr float kExplosionSize = 30.0f;    // units

    void setFlags(int32_t bits) { flags |= bits; }
    bool hasFlags(int32_t bits) const { return (flags & bits) != 0; }

    void update(World* world, float dt) override {}
    // The model at position, while not destroyed.
    void draw(World* world) override;
    // Death once the hit points are used up, and removal once far enough behind the ship.
    void afterCollisions(World* world) override;
    void unload() override {}
    const char* groupName() override;

    int32_t flags = 0;
    SceneModel* model = nullptr;  // owned by ModelCache
    int32_t hitPoints = 2;
    Explosion explosion;

protected:
    // Sets dead once the death explosion, advanced by dt, is over.
    void AdvanceDeath(World* world, float dt);
};
