#include "game/actors/ActorGame.h"

#include "game/actors/PlayerShip.h"
#include "game/world/World.h"

ActorGame* GameOf(World* world)
{
    return world != nullptr ? dynamic_cast<ActorGame*>(world->game) : nullptr;
}

PlayerShip* ShipOf(World* world)
{
    ActorGame* game = GameOf(world);
    return game != nullptr ? &game->Ship() : nullptr;
}

void ReportTo(World* world, const GameEvent& event)
{
    if (world != nullptr && world->game != nullptr) world->game->Report(event);
}
