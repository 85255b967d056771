#include "game/actors/Shot.h"

#include "engine/scene/TextureCache.h"
#include "game/actors/Groups.h"
#include "game/world/World.h"

namespace {

constexpr const char* kTexture = "tiro.jpg";
constexpr int32_t kAdditive = 1;

}  // namespace

void Shot::Start(World* world, const Vec4& origin)
{
    sprite.position = origin - Vec4(0.0f, kStartDrop, 0.0f);
    sprite.color = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    sprite.size = size_;
    sprite.texture = TextureCache::Get(kTexture);
    sprite.blendMode = kAdditive;
    travelled = 0.0f;
    radius = size_;
    exploding = false;
}

void Shot::load(World* world)
{
    Start(world, Vec4(0.0f, 0.0f, 0.0f, 1.0f));
}

const char* Shot::groupName()
{
    return kAmmoGroup;
}

void Shot::draw(World* world)
{
    if (!exploding) world->renderer.AddParticle(&sprite);
}

void Shot::FinishStep(World* world, float dt)
{
    position = sprite.position;
    if (travelled > kRange) dead = true;
    if (exploding && explosion.Advance(world->renderer, dt)) dead = true;
}

void Shot::Explode()
{
    exploding = true;
    explosion.Start(position - Vec4(0.0f, 0.0f, kHitExplosionBack), kHitExplosionSize, false, false);
}
