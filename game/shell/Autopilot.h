#pragma once

#include <vector>

#include "engine/math/Vec4.h"
#include "game/world/InputFeed.h"

class Game;

// The game's own bot: it flies the ship through the same input the player uses (mouse motion and
// the left button), so the ship takes hits as usual. Each frame it predicts where the enemy shots
// and enemies near the ship will be over the next second, picks the place across the track where
// the ship, moving no faster than with the arrow keys, keeps clearest of them, and prefers the
// one under the nearest enemy ahead; it fires all the time.
class Autopilot final : public InputFeed {
public:
    static constexpr float kHorizon = 1.2f;          // seconds of flight it predicts
    static constexpr float kEnemyHorizon = 0.6f;     // seconds ahead an enemy counts as in the way
    static constexpr int kSamples = 24;              // moments it checks over the horizon
    static constexpr float kSafety = 7.0f;           // units kept clear beyond the touching distance
    static constexpr float kMaxSpeed = 200.0f;       // units per second, as fast as the arrow keys
    static constexpr float kCruiseOffsetZ = -55.0f;  // units behind the scroll point
    static constexpr float kFireRange = 190.0f;      // units ahead it aims at enemies within
    static constexpr float kLaneStep = 5.0f;         // units between the places it weighs across
    static constexpr float kOffsetsZ[] = {-75.0f, -55.0f, -35.0f};  // and along the track

    explicit Autopilot(Game& game) : game_(game) {}

    void PostMessages() override {}
    void Apply(Input& input) override;

private:
    // Something to keep clear of: where it is relative to the ship, how it moves relative to the
    // scroll, and how close it may come.
    struct Threat {
        Vec4 offset;
        Vec4 velocity;
        float clear;
        const class Sentinel* swinging;  // its x follows its wave, not velocity
        float horizon;                   // seconds ahead it counts
    };

    void GatherThreats(const Vec4& at);
    // Where the ship should make for, relative to the scroll point.
    Vec4 ChooseOffset(float preferredX) const;
    float Danger(const Vec4& to, float targetX) const;
    // The x of the enemy to line up under, or the ship's own x when none is in range.
    float TargetX(const Vec4& at) const;

    Game& game_;
    std::vector<Threat> threats_;
};
