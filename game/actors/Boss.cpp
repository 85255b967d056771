#include "game/actors/Boss.h"

#include <algorithm>

#include "engine/render/Renderer.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"
#include "game/actors/ActorGame.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShip.h"
#include "game/actors/ScriptBlock.h"
#include "game/world/World.h"

namespace {

constexpr int32_t kSpriteBlend = 3;  // alpha blending
constexpr double kFirstBarX = 0.36;  // fraction of the screen's width
constexpr double kBarWidth = 0.04133333333333333;
constexpr float kBarTop = 0.025f;
constexpr float kBarBottom = 0.08f;

}  // namespace

void Boss::load(World* world)
{
    model = ModelCache::Get("Boss.3df");
    radius = kRadius;
    fireInterval = kFireInterval;
    hitPoints = kHitPoints;
    phaseTime = 0.0f;
    started = false;
    hudFrame.blendMode = kSpriteBlend;
    hudFrame.texture = TextureCache::Get("hud_boss.tga");
    hudFrame.topLeft = Vec4(0.25f, 0.0f, 0.0f, 1.0f);
    hudFrame.bottomRight = Vec4(1.0f, 0.125f, 0.0f, 1.0f);
    for (int i = 0; i < kBarCount; ++i) {
        const double x = kFirstBarX + kBarWidth * i;
        bars[i].blendMode = kSpriteBlend;
        bars[i].texture = TextureCache::Get("barra_boss.tga");
        bars[i].topLeft = Vec4(static_cast<float>(x), kBarTop, 0.0f, 1.0f);
        bars[i].bottomRight = Vec4(static_cast<float>(x + kBarWidth), kBarBottom, 0.0f, 1.0f);
    }
}

void Boss::parse(ScriptReader& reader)
{
    ReadPositionBlock(reader, position, "Boss");
}

int Boss::BarsFor(int32_t points)
{
    return std::clamp(points / kHitPointsPerBar, 0, kBarCount);
}

void Boss::update(World* world, float dt)
{
    const Matrix placement = Matrix::Translation(position.x, position.y - kModelDrop, position.z);
    PlayerShip* ship = ShipOf(world);
    if (!started) {
        position.z += kArrivalLead;
        if (ActorGame* game = GameOf(world)) game->JumpMusic(kMusicOrder);
        started = true;
    }
    if (ship == nullptr || ship->progressZ < position.z) {
        if (model != nullptr) model->AnimateObjects(world->renderer, placement, 0.0f);
        radius = 0.0f;
    } else if (phaseTime < kIntroLength) {
        Intro(world, placement, dt);
    } else if (!hasFlags(kDestroyed)) {
        Fight(world, placement, dt);
    } else {
        ship->advancing = true;
    }
    AdvanceDeath(world, dt);
}

void Boss::Intro(World* world, const Matrix& placement, float dt)
{
    radius = kRadius;
    phaseTime += dt;
    PlayerShip* ship = ShipOf(world);
    ship->advancing = false;
    ship->ownsCamera = false;
    ship->controlsEnabled = false;
    if (model != nullptr) {
        model->AnimateObjects(world->renderer, placement, dt);
        model->SelectCamera(world->renderer, placement, kIntroCamera, dt);
    }
    if (ActorGame* game = GameOf(world)) game->TookCamera("boss");
}

void Boss::Fight(World* world, const Matrix& placement, float dt)
{
    phaseTime += dt;
    PlayerShip* ship = ShipOf(world);
    ship->ownsCamera = true;
    ship->controlsEnabled = true;
    if (model != nullptr) model->AnimateObjects(world->renderer, placement, 0.0f);
    fireTimer -= dt;
    if (fireTimer < 0.0f) {
        fireTimer = fireInterval;
        FireFan(world);
    }
    world->renderer.AddSprite(&hudFrame);
    for (int i = 0; i < BarsFor(hitPoints); ++i) world->renderer.AddSprite(&bars[i]);
}

void Boss::FireFan(World* world)
{
    const Vec4 d = ShipOf(world)->position - position;
    const Vec4 side(d.z, 0.0f, -d.x);
    EnemyShot::Fire(world, position, d);
    EnemyShot::Fire(world, position, d * kFanAim + side * kFanSpread);
    EnemyShot::Fire(world, position, d * kFanAim - side * kFanSpread);
}
