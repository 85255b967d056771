#include "game/actors/EnemyShot.h"

#include <cmath>

#include "game/actors/ActorGame.h"
#include "game/actors/Groups.h"
#include "game/actors/PlayerShip.h"
#include "game/world/World.h"

namespace {

// The vector scaled to length 1, or the zero vector for one without a finite length (w = 1 either way).
Vec4 UnitOrZero(const Vec4& v)
{
    const float length = v.Length();
    if (!(length > 0.0f) || !std::isfinite(length)) return Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    const float scale = 1.0f / length;
    return Vec4(v.x * scale, v.y * scale, v.z * scale, 1.0f);
}

}  // namespace

EnemyShot* EnemyShot::Fire(World* world, const Vec4& origin, const Vec4& aim)
{
    auto* shot = new EnemyShot;
    shot->Start(world, origin);
    shot->direction = UnitOrZero(aim);
    world->Attach(shot);
    ReportTo(world, {"fire", "enemy"});
    return shot;
}

void EnemyShot::update(World* world, float dt)
{
    sprite.position.x += direction.x * kSpeed * dt;
    sprite.position.y += direction.y * kSpeed * dt;
    sprite.position.z += direction.z * kSpeed * dt;
    travelled += kSpeed * dt;
    FinishStep(world, dt);
}

void EnemyShot::onCollision(World* world, SceneNode* other)
{
    if (exploding || !InGroup(other, kPlayerGroup)) return;
    Explode();
    if (PlayerShip* ship = ShipOf(world)) ship->TakeHit();
    ReportTo(world, {"hit", "PlayerShip"});
}
