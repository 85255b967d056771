#pragma once

#include <string>

#include "engine/scene/GrowArray.h"
#include "engine/scene/SceneModel.h"
#include "game/world/Entity.h"

class ScriptedEntity;

// The level object: the scenery model, and the scripted entities created from the level script,
// kept pending until the ship comes within kSpawnDistance of them.
class Level : public Entity {
public:
    static constexpr float kSpawnDistance = 85.0f;  // units ahead of the ship
    static constexpr const char* kScriptName = "teste.lvl";
    static constexpr const char* kModelName = "level.3df";

    ~Level() override;

    void load(World* world) override;
    void update(World* world, float dt) override;
    void draw(World* world) override;
    void afterCollisions(World* world) override;
    // Releases the scenery and deletes the entities that never came near the ship.
    void unload() override;
    Entity* clone() override;

    // Creates, loads and parses one entity per block of the given script into pending.
    void LoadScript(World* world, const char* fileName);
    // Attaches, in script order, every pending entity less than kSpawnDistance ahead of progressZ,
    // and reports each to the world's game.
    void SpawnNear(World* world, float progressZ);

    SceneModel model;
    GrowArray<ScriptedEntity*> pending;
    // The script that load reads; the game plays kScriptName, tools may choose another.
    std::string scriptName = kScriptName;
    float elapsed = 0.0f;  // seconds since load

private:
    void DeletePending();
};
