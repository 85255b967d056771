#include "game/actors/PlayerShot.h"

#include "game/actors/ActorGame.h"
#include "game/actors/Enemy.h"
#include "game/actors/Groups.h"

void PlayerShot::update(World* world, float dt)
{
    const float d = kSpeed * dt;
    sprite.position.z += d;
    travelled += d;
    FinishStep(world, dt);
}

void PlayerShot::onCollision(World* world, SceneNode* other)
{
    if (exploding || !InGroup(other, kEnemyGroup)) return;
    auto* enemy = dynamic_cast<Enemy*>(other);
    if (enemy != nullptr) enemy->hitPoints -= 1;
    Explode();
    ReportTo(world, {"hit", enemy != nullptr ? enemy->typeName() : nullptr});
}
