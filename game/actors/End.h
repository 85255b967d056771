#pragma once

#include "engine/render/Sprite.h"
#include "game/world/ScriptedEntity.h"

// The end of the level ("End"): from the frame it enters the world it shows the credits picture,
// circles the camera around the ship, takes the controls away, starts the credits music on its
// first draw, and ends the level play 15 s later.
class End : public ScriptedEntity {
public:
    static constexpr float kCreditsLength = 15.0f;   // seconds
    static constexpr double kTurnsPerSecond = 0.05;  // the camera circles once every 20 s
    static constexpr float kOrbitRadius = 30.0f;     // units
    static constexpr float kOrbitHeight = 10.0f;     // units
    static constexpr int32_t kMusicOrder = 29;

    void update(World* world, float dt) override;
    void draw(World* world) override;
    void load(World* world) override;
    void unload() override {}
    void parse(ScriptReader& reader) override;
    Entity* clone() override { return new End; }
    const char* typeName() const override { return "End"; }

    Sprite credits;
    float creditsTimer = 0.0f;  // seconds since attachment
    bool musicPending = true;
};
