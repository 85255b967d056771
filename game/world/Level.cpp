#include "game/world/Level.h"

#include "engine/platform/Log.h"
#include "game/world/GameLink.h"
#include "game/world/ScriptReader.h"
#include "game/world/ScriptedEntity.h"
#include "game/world/World.h"

Level::~Level()
{
    DeletePending();
}

void Level::load(World* world)
{
    model.Load(kModelName);
    LoadScript(world, scriptName.c_str());
    elapsed = 0.0f;
}

void Level::LoadScript(World* world, const char* fileName)
{
    ScriptReader reader;
    reader.Open(fileName);
    while (const char* keyword = reader.NextEntity()) {
        Entity* created = world->Create(keyword);
        auto* entity = dynamic_cast<ScriptedEntity*>(created);
        if (entity == nullptr) {
            // Only scripted entities can be placed: anything else has no block to read.
            delete created;
            Log::Print(2, "erro de parsing: entidade %s n\xE3o implementada\n", keyword);
            continue;
        }
        entity->load(world);
        entity->parse(reader);
        pending.Append(entity);
    }
}

void Level::update(World* world, float dt)
{
    elapsed += dt;
}

void Level::draw(World* world)
{
    const Matrix identity;
    model.PlaceObjects(world->renderer, identity);
    model.PlaceLights(world->renderer, identity);
}

void Level::afterCollisions(World* world)
{
    if (world->game != nullptr) SpawnNear(world, world->game->ShipProgressZ());
}

void Level::SpawnNear(World* world, float progressZ)
{
    uint32_t i = 0;
    while (i < pending.Count()) {
        ScriptedEntity* entity = pending.At(i);
        if (entity->position.z - progressZ < kSpawnDistance) {
            entity->clock = elapsed;
            world->Attach(entity);
            pending.Remove(entity);
            if (world->game != nullptr) world->game->Report({"spawn", entity->typeName(), entity->position.z});
        } else {
            ++i;
        }
    }
}

void Level::unload()
{
    model.Clear();
    DeletePending();
}

void Level::DeletePending()
{
    for (ScriptedEntity* entity : pending) delete entity;
    pending.ResetCount();
}

Entity* Level::clone()
{
    return new Level;
}
