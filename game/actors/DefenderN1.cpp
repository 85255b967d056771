#include "game/actors/DefenderN1.h"

#include "engine/scene/ModelCache.h"
#include "game/actors/ActorGame.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShip.h"
#include "game/actors/ScriptBlock.h"

void DefenderN1::load(World* world)
{
    model = ModelCache::Get("defender.3DF");
    radius = kRadius;
    speed = kSpeed;
    fireInterval = kFireInterval;
    hitPoints = kHitPoints;
}

void DefenderN1::parse(ScriptReader& reader)
{
    ReadPositionBlock(reader, position, typeName());
}

void DefenderN1::update(World* world, float dt)
{
    position.z -= dt * speed;
    fireTimer -= dt;
    if (fireTimer < 0.0f) {
        fireTimer = fireInterval;
        const PlayerShip* ship = ShipOf(world);
        EnemyShot::Fire(world, position, ship != nullptr ? ship->position - position : Vec4());
    }
    AdvanceDeath(world, dt);
}
