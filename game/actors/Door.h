#pragma once

#include "engine/math/Matrix.h"
#include "game/world/ScriptedEntity.h"

class SceneModel;

// An animated gate ("Door"). A second after it enters the world the scroll stops, the camera looks
// at the door from above and behind the ship while the door opens, and at 3.8 s the player gets
// control back, once. Doors share "door.3df" through the model cache, but each plays its own
// opening: it rewinds the shared model and animates it by its own time before every submission.
class Door : public ScriptedEntity {
public:
    static constexpr double kOpeningStart = 1.0;  // seconds after attachment
    static constexpr double kOpeningEnd = 3.8;    // seconds after attachment, compared as a double
    static constexpr Vec4 kCameraOffset{0.0f, 150.0f, -100.0f, 1.0f};  // from the anchor, units

    void update(World* world, float dt) override;
    void draw(World* world) override;
    void load(World* world) override;
    void unload() override {}
    void parse(ScriptReader& reader) override;
    Entity* clone() override { return new Door; }
    const char* typeName() const override { return "Door"; }

    // Strictly between the start and the end of the opening.
    bool Opening() const { return kOpeningStart < sequenceTimer && sequenceTimer < kOpeningEnd; }

    SceneModel* model = nullptr;  // owned by ModelCache
    float sequenceTimer = 0.0f;   // seconds since attachment
    Vec4 cameraAnchor{0.0f, 0.0f, 0.0f, 1.0f};
    bool released = false;
    float openingTime = 0.0f;  // seconds of this door's animation played

private:
    void Animate(World* world, const Matrix& placement);
};
