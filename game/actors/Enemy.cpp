#include "game/actors/Enemy.h"

#include "engine/scene/SceneModel.h"
#include "game/actors/ActorGame.h"
#include "game/actors/Groups.h"
#include "game/world/GameLink.h"
#include "game/world/World.h"

const char* Enemy::groupName()
{
    return kEnemyGroup;
}

void Enemy::draw(World* world)
{
    if (model != nullptr && !hasFlags(kDestroyed))
        model->PlaceObjects(world->renderer, Matrix::Translation(position.x, position.y, position.z));
}

void Enemy::afterCollisions(World* world)
{
    if (hitPoints <= 0) {
        radius = 0.0f;
        setFlags(kDestroyed);
        explosion.Start(position, kExplosionSize, true, true);
        hitPoints = kSpentHitPoints;
        ReportTo(world, {"destroyed", typeName()});
    }
    if (world->game != nullptr && position.z - world->game->ShipProgressZ() < kCullDistance) dead = true;
}

void Enemy::AdvanceDeath(World* world, float dt)
{
    if (hasFlags(kDestroyed) && explosion.Advance(world->renderer, dt)) dead = true;
}
