#pragma once

#include "game/actors/Enemy.h"

// The basic enemy ("DefenderN1"): drifts towards the ship along −z and fires an aimed shot every
// 1.5 s, the first one on its first update. It keeps moving and firing while its explosion plays.
class DefenderN1 : public Enemy {
public:
    static constexpr float kFireInterval = 1.5f;  // seconds
    static constexpr float kSpeed = 5.0f;         // units per second along −z
    static constexpr float kRadius = 7.0f;        // units
    static constexpr int32_t kHitPoints = 3;

    void update(World* world, float dt) override;
    void load(World* world) override;
    void parse(ScriptReader& reader) override;
    Entity* clone() override { return new DefenderN1; }
    const char* typeName() const override { return "DefenderN1"; }

    float fireInterval = 0.0f;
    float fireTimer = 0.0f;
    float speed = 0.0f;
};
