#pragma once

#include <cstdint>

#include "engine/render/Sprite.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneModel.h"
#include "game/actors/Explosion.h"
#include "game/world/Entity.h"

class SoundSample;

// The player's ship. Its scroll point advances along +z; within a box around that point the
// player steers it with the mouse, the arrow keys or a controller's stick and fires with the left
// button (or a controller's fire buttons, which the input reads as it). It owns the
// in-game camera, the HUD, an engine light, its death explosion and the music change at its
// destruction. Other actors read and set its fields through the game (ActorGame::Ship).
class PlayerShip : public Entity {
public:
    static constexpr float kScrollSpeed = 32.0f;     // units per second
    static constexpr float kKeySpeed = 200.0f;       // units per second
    static constexpr float kMouseScale = 0.5f;       // units per mouse count
    static constexpr float kMaxOffsetX = 100.0f;     // units either side of the scroll point
    static constexpr float kMaxOffsetZ = 75.0f;      // units ahead of and behind it
    static constexpr float kFireInterval = 0.1f;     // seconds
    static constexpr float kRadius = 10.0f;          // units
    static constexpr int32_t kHealth = 5;            // hits the ship takes; the fifth destroys it
    static constexpr float kHitWindow = 1.5f;        // seconds in which a second hit costs nothing
    static constexpr float kFadeInPerUnit = 0.03125f;  // the fade clears over 128 units
    static constexpr float kDeathFadeRate = 0.2f;    // fade per second after the destruction
    static constexpr float kQuitDelay = 5.0f;        // seconds from the destruction to the end
    static constexpr float kExplosionSize = 30.0f;   // units
    static constexpr float kCameraHeight = 200.0f;   // units above the scroll point
    static constexpr float kEngineLightRadius = 400.0f;  // units
    static constexpr int32_t kDeathMusicOrder = 27;
    static constexpr int kHealthBarSlots = 6;

    void update(World* world, float dt) override;
    void draw(World* world) override;
    void onCollision(World* world, SceneNode* other) override;
    void load(World* world) override;
    void unload() override;
    Entity* clone() override;
    const char* groupName() override;
    const char* typeName() const override { return "PlayerShip"; }

    // The hit rule shared by enemy contact and enemy shots: a point is lost only when more than
    // kHitWindow seconds passed since the previous hit or contact; every hit restarts the window.
    void TakeHit();
    // offset + (0, 0, progressZ): where the ship is in the world.
    Vec4 WorldPosition() const;

    // Process-wide, as the game has them: seconds advanced by every ship update and restarted at
    // the destruction, and the number of ship draws (the blinking's clock).
    static float deathClock;
    static int32_t drawCounter;

    float progressZ = 0.0f;
    Vec4 offset{0.0f, 0.0f, 0.0f, 1.0f};
    SceneModel model;
    PointLight light;
    float fireInterval = 0.0f;
    float fireCooldown = 0.0f;
    Explosion explosion;
    bool destroyed = false;
    SoundSample* fireSound = nullptr;
    bool ownsCamera = false;
    Sprite hudFrame;
    Sprite healthBars[kHealthBarSlots];
    int32_t health = 0;
    float hitTimer = 0.0f;
    bool controlsEnabled = false;
    bool advancing = false;

private:
    void Steer(World* world, float dt);
    void FireWhenAsked(World* world, float dt);
    void Die(World* world);
    void AimCamera(World* world);
    void DrawModel(World* world);
};
