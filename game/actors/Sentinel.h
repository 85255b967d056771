#pragma once

#include "game/actors/Enemy.h"

// A light enemy ("Sentinel", one hit point) that does not fire. It flies towards the ship along
// −z and, when the script asks, swings about centreX on a sine wave driven by its clock, so that
// rows with equal settings swing in step.
class Sentinel : public Enemy {
public:
    static constexpr float kRadius = 5.0f;  // units
    static constexpr int32_t kHitPoints = 1;
    static constexpr float kDefaultPeriod = 1.0f;     // seconds per swing
    static constexpr float kDefaultAmplitude = 30.0f;  // units
    static constexpr float kDefaultMoveSpeed = 18.0f;  // units per second along −z

    void update(World* world, float dt) override;
    void load(World* world) override;
    // "position", "wave", "phase", "speed" (the period), "amplitude", "movespeed". A period of 0
    // is refused with a report and the one before it stays: the wave divides by it.
    void parse(ScriptReader& reader) override;
    Entity* clone() override { return new Sentinel; }
    const char* typeName() const override { return "Sentinel"; }

    bool waveEnabled = false;
    float period = 0.0f;     // seconds per full swing
    float phase = 0.0f;      // whole swings
    float centreX = 0.0f;    // units
    float amplitude = 0.0f;  // units
    float movespeed = 0.0f;  // units per second

private:
    void ReadPeriod(ScriptReader& reader);
};
