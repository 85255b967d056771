#pragma once

#include "engine/render/Particle.h"
#include "game/actors/Explosion.h"
#include "game/world/Entity.h"

// What both kinds of shot share: a camera-facing sprite with "tiro.jpg", a fixed range, one hit
// shown by a small explosion, then removal. The shooter constructs one, starts it at its own
// position and attaches it to the root, which owns it from then on.
class Shot : public Entity {
public:
    static constexpr float kRange = 200.0f;          // units flown before removal
    static constexpr float kHitExplosionSize = 15.0f;  // units
    static constexpr float kHitExplosionBack = 10.0f;  // units behind the shot along z
    static constexpr float kStartDrop = 1.0f;        // units below the shooter's plane

    // Places the sprite one unit below origin and readies the shot for flight.
    void Start(World* world, const Vec4& origin);

    void draw(World* world) override;
    void load(World* world) override;
    void unload() override {}
    const char* groupName() override;

    Particle sprite;
    float travelled = 0.0f;  // units since Start
    Explosion explosion;
    bool exploding = false;

protected:
    explicit Shot(float size) : size_(size) {}
    // After the flight step: position follows the sprite, the range ends the shot, and so does
    // the end of its hit explosion.
    void FinishStep(World* world, float dt);
    // The hit: the shot stops drawing and colliding and shows its explosion.
    void Explode();

private:
    float size_;  // sprite size and collision radius, units
};
