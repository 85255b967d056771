#pragma once

#include "game/world/Entity.h"

class ScriptReader;

// An entity placed by the level script: created by the factory, loaded, then given its block.
class ScriptedEntity : public Entity {
public:
    // Reads the entity's block: tokens until NextToken gives null, each matched against the
    // class's keywords; an unknown keyword is reported and skipped.
    virtual void parse(ScriptReader& reader) = 0;

    // Seconds; stamped with the level's elapsed time when the level attaches the entity, then
    // advanced by the actor as its own time base.
    float clock = 0.0f;
};
