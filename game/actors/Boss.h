#pragma once

#include "engine/math/Matrix.h"
#include "engine/render/Sprite.h"
#include "game/actors/Enemy.h"

// The level's end enemy ("BossN1"). Once attached it moves 100 units further ahead and switches
// the music to the boss tune. When the ship reaches it the scroll stops for a 7.9 s intro played
// by the model's animation and its camera "Camera01"; then it fires fans of three aimed shots
// every 0.75 s and shows its hit points as a bar of up to 15 segments, until it explodes and the
// scroll resumes. It submits its model from update, 80 units below its position.
class Boss : public Enemy {
public:
    static constexpr float kFireInterval = 0.75f;   // seconds between fans
    static constexpr float kRadius = 10.0f;         // units, from the intro on
    static constexpr int32_t kHitPoints = 60;
    static constexpr int32_t kHitPointsPerBar = 4;
    static constexpr int kBarCount = 15;
    static constexpr float kIntroLength = 7.9f;     // seconds
    static constexpr float kArrivalLead = 100.0f;   // units it moves ahead on its first update
    static constexpr float kModelDrop = 80.0f;      // units below its position
    static constexpr float kFanAim = 0.8f;          // share of the aimed direction in a side shot
    static constexpr float kFanSpread = 0.2f;       // share of the sideways direction
    static constexpr int32_t kMusicOrder = 18;
    static constexpr const char* kIntroCamera = "Camera01";

    void update(World* world, float dt) override;
    void draw(World* world) override {}
    void load(World* world) override;
    void parse(ScriptReader& reader) override;
    Entity* clone() override { return new Boss; }
    const char* typeName() const override { return "BossN1"; }

    // Bars shown for the hit points: a quarter of them, truncated, 0 to kBarCount.
    static int BarsFor(int32_t hitPoints);

    float fireInterval = 0.0f;
    float fireTimer = 0.0f;
    float phaseTime = 0.0f;  // seconds since the ship reached the boss
    bool started = false;
    Sprite hudFrame;
    Sprite bars[kBarCount];

private:
    void Intro(World* world, const Matrix& placement, float dt);
    void Fight(World* world, const Matrix& placement, float dt);
    void FireFan(World* world);
};
