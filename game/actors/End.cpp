#include "game/actors/End.h"

#include <cmath>

#include "engine/render/Renderer.h"
#include "engine/scene/TextureCache.h"
#include "game/actors/ActorGame.h"
#include "game/actors/PlayerShip.h"
#include "game/actors/ScriptBlock.h"
#include "game/world/World.h"

void End::load(World* world)
{
    credits.texture = TextureCache::Get("end_credits.tga");
    credits.topLeft = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    credits.bottomRight = Vec4(1.0f, 1.0f, 0.0f, 1.0f);
    credits.blendMode = 3;  // alpha blending
    creditsTimer = 0.0f;
}

void End::parse(ScriptReader& reader)
{
    ReadPositionBlock(reader, position, typeName());
}

void End::update(World* world, float dt)
{
    clock += dt;
    creditsTimer += dt;
    if (creditsTimer > kCreditsLength && world->game != nullptr) world->game->RequestQuit("credits");
}

void End::draw(World* world)
{
    PlayerShip* ship = ShipOf(world);
    const Vec4 target = ship != nullptr ? ship->position : position;
    const double a = 2 * Pi() * clock * kTurnsPerSecond;
    const Vec4 eye = target + Vec4(static_cast<float>(kOrbitRadius * std::cos(a)), kOrbitHeight,
                                   static_cast<float>(kOrbitRadius * std::sin(a)));
    world->renderer.GetCamera().SetLook(eye, target, Vec4(0.0f, 1.0f, 0.0f));
    world->renderer.AddSprite(&credits);
    ActorGame* game = GameOf(world);
    if (ship != nullptr) ship->controlsEnabled = false;
    if (musicPending) {
        musicPending = false;
        if (game != nullptr) game->JumpMusic(kMusicOrder);
    }
    if (game != nullptr) game->TookCamera("end");
}
