#pragma once

#include "game/actors/Shot.h"

// An enemy's shot: along its direction towards where the ship was; a hit costs the ship a point
// under the ship's own hit rule.
class EnemyShot : public Shot {
public:
    static constexpr float kSpeed = 100.0f;  // units per second along direction
    static constexpr float kSize = 2.5f;     // sprite size and collision radius, units

    EnemyShot() : Shot(kSize) {}

    // Fires one shot from origin along aim, scaled to length 1: a zero aim (a shooter right on
    // the ship) gives a shot that stays where it started instead of one at no position at all.
    static EnemyShot* Fire(World* world, const Vec4& origin, const Vec4& aim);

    void update(World* world, float dt) override;
    void onCollision(World* world, SceneNode* other) override;
    Entity* clone() override { return new EnemyShot; }
    const char* typeName() const override { return "EnemyShot"; }

    Vec4 direction{0.0f, 0.0f, 0.0f, 1.0f};  // unit flight direction
};
