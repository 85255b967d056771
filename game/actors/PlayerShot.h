#pragma once

#include "game/actors/Shot.h"

// The ship's shot: straight ahead along +z; a hit costs an enemy one hit point.
class PlayerShot : public Shot {
public:
    static constexpr float kSpeed = 400.0f;  // units per second along +z
    static constexpr float kSize = 5.0f;     // sprite size and collision radius, units

    PlayerShot() : Shot(kSize) {}

    void update(World* world, float dt) override;
    void onCollision(World* world, SceneNode* other) override;
    Entity* clone() override { return new PlayerShot; }
    const char* typeName() const override { return "PlayerShot"; }
};
