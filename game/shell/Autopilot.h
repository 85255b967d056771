#pragma once

#include "engine/scene/Vec4.h"
#include "game/world/InputFeed.h"

class Game;

// The game's own bot: it flies the ship through the same input the player uses (mouse motion and
// the left button), so the ship takes hits as usual. Each frame it looks at the enemy shots and
// enemies near the ship, sidesteps what would hit it soon, otherwise lines up under the nearest
// enemy ahead, and keeps firing.
class Autopilot final : public InputFeed {
public:
    static constexpr float kLookAhead = 1.0f;        // seconds of flight it predicts
    static constexpr float kSafety = 8.0f;           // units kept clear beyond the touching distance
    static constexpr float kMaxSpeed = 200.0f;       // units per second, as fast as the arrow keys
    static constexpr float kCruiseOffsetZ = -60.0f;  // units behind the scroll point
    static constexpr float kFireRange = 190.0f;      // units ahead it aims at enemies within

    explicit Autopilot(Game& game) : game_(game) {}

    void PostMessages() override {}
    void Apply(Input& input) override;

private:
    // Where the ship should be, relative to the scroll point.
    Vec4 ChooseOffset() const;
    // The sideways step that takes the ship out of the paths of what would hit it, 0 when none.
    float Dodge(const Vec4& at) const;
    // The x of the enemy to line up under, or the ship's own x when none is in range.
    float TargetX(const Vec4& at) const;

    Game& game_;
};
