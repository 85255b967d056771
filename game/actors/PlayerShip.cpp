#include "game/actors/PlayerShip.h"

#include <algorithm>

#include "engine/platform/KeyCodes.h"
#include "engine/platform/SampleCache.h"
#include "engine/platform/SoundInstance.h"
#include "engine/scene/TextureCache.h"
#include "game/actors/ActorGame.h"
#include "game/actors/Groups.h"
#include "game/actors/PlayerShot.h"
#include "game/world/World.h"

float PlayerShip::deathClock = 0.0f;
int32_t PlayerShip::drawCounter = 0;

namespace {

constexpr const char* kModelName = "main_ship.3df";
constexpr const char* kHudTexture = "hud_player.tga";
constexpr const char* kBarTexture = "barra_player.tga";
constexpr const char* kFireSound = "fire.wav";
constexpr int32_t kSpriteBlend = 3;  // alpha blending
constexpr double kFirstBarX = 0.11;   // fraction of the screen's width
constexpr double kBarWidth = 0.024;   // fraction of the screen's width
constexpr float kBarTop = 0.025f;     // fraction of the screen's height
constexpr float kBarBottom = 0.08f;
constexpr Vec4 kEngineLightColour{1.0f, 0.3f, 0.3f, 1.0f};
constexpr Vec4 kBackground{0.0f, 0.0f, 0.0f, 1.0f};
constexpr Vec4 kAmbient{0.15f, 0.15f, 0.15f, 1.0f};
constexpr int32_t kBlinkPeriod = 8;  // draws: 4 shown, then 4 hidden

bool Held(uint8_t state)
{
    return (state & 0x80) != 0;
}

}  // namespace

void PlayerShip::load(World* world)
{
    progressZ = 0.0f;
    offset = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    model.Load(kModelName);
    hudFrame.blendMode = kSpriteBlend;
    hudFrame.color = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    hudFrame.topLeft = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    hudFrame.bottomRight = Vec4(0.25f, 0.125f, 0.0f, 1.0f);
    hudFrame.texture = TextureCache::Get(kHudTexture);
    for (int i = 0; i < kHealth; ++i) {
        const double x = kFirstBarX + kBarWidth * i;
        healthBars[i].blendMode = kSpriteBlend;
        healthBars[i].texture = TextureCache::Get(kBarTexture);
        healthBars[i].topLeft = Vec4(static_cast<float>(x), kBarTop, 0.0f, 1.0f);
        healthBars[i].bottomRight = Vec4(static_cast<float>(x + kBarWidth), kBarBottom, 0.0f, 1.0f);
    }
    fireInterval = kFireInterval;
    fireSound = SampleCache::Get(kFireSound, false, false, false);
    destroyed = false;
    radius = kRadius;
    advancing = true;
    controlsEnabled = true;
    health = kHealth;
    hitTimer = kHitWindow;
    ownsCamera = true;
}

void PlayerShip::unload()
{
    model.Clear();
}

Entity* PlayerShip::clone()
{
    return new PlayerShip;
}

const char* PlayerShip::groupName()
{
    return kPlayerGroup;
}

Vec4 PlayerShip::WorldPosition() const
{
    return offset + Vec4(0.0f, 0.0f, progressZ);
}

void PlayerShip::update(World* world, float dt)
{
    if (advancing) progressZ += kScrollSpeed * dt;
    hitTimer += dt;
    const float s = progressZ * kFadeInPerUnit;
    if (s < 4.0f) world->fade = 1.0f - 0.25f * s;
    // A door's release and the boss fight hand the controls back whatever the ship's state; a
    // destroyed ship must not steer or fire from where it blew up.
    if (controlsEnabled && !destroyed) {
        Steer(world, dt);
        FireWhenAsked(world, dt);
    }
    deathClock += dt;
    if (destroyed) {
        explosion.Advance(world->renderer, dt);
        world->fade = kDeathFadeRate * deathClock;
        if (deathClock > kQuitDelay && world->game != nullptr) world->game->RequestQuit("ship destroyed");
    }
    position = WorldPosition();
    if (health == 0) Die(world);
}

void PlayerShip::Steer(World* world, float dt)
{
    if (MouseDevice* mouse = world->input.mouse.get()) {
        offset.x += kMouseScale * static_cast<float>(mouse->state.lX);
        offset.z -= kMouseScale * static_cast<float>(mouse->state.lY);
    }
    if (KeyboardDevice* keyboard = world->input.keyboard.get()) {
        if (Held(keyboard->keys[DIK_UP])) offset.z += kKeySpeed * dt;
        if (Held(keyboard->keys[DIK_DOWN])) offset.z -= kKeySpeed * dt;
        if (Held(keyboard->keys[DIK_LEFT])) offset.x -= kKeySpeed * dt;
        if (Held(keyboard->keys[DIK_RIGHT])) offset.x += kKeySpeed * dt;
    }
    // A controller's stick steers in proportion to how far it is pushed: as the arrows at full
    // deflection.
    const ControllerState& stick = world->input.controllerState;
    offset.x += kKeySpeed * stick.stickX * dt;
    offset.z += kKeySpeed * stick.stickY * dt;
    offset.x = std::clamp(offset.x, -kMaxOffsetX, kMaxOffsetX);
    offset.z = std::clamp(offset.z, -kMaxOffsetZ, kMaxOffsetZ);
}

void PlayerShip::FireWhenAsked(World* world, float dt)
{
    fireCooldown -= dt;
    const MouseDevice* mouse = world->input.mouse.get();
    if (mouse == nullptr || !Held(mouse->state.rgbButtons[0]) || !(fireCooldown < 0.0f)) return;
    fireCooldown = fireInterval;
    auto* shot = new PlayerShot;
    shot->Start(world, WorldPosition());
    world->Attach(shot);
    SoundInstance(fireSound).Play(false);
    ReportTo(world, {"fire", "player"});
}

void PlayerShip::Die(World* world)
{
    destroyed = true;
    explosion.Start(position, kExplosionSize, true, false);
    radius = 0.0f;
    controlsEnabled = false;
    health = -1;
    if (ActorGame* game = GameOf(world)) game->JumpMusic(kDeathMusicOrder);
    deathClock = 0.0f;
    ReportTo(world, {"destroyed", typeName()});
}

void PlayerShip::draw(World* world)
{
    // Wraps instead of overflowing; only the count modulo the blink period is read.
    drawCounter = static_cast<int32_t>(static_cast<uint32_t>(drawCounter) + 1u);
    if (ownsCamera) {
        AimCamera(world);
        world->renderer.AddSprite(&hudFrame);
        const int bars = std::clamp(health, 0, kHealth);
        for (int i = 0; i < bars; ++i) world->renderer.AddSprite(&healthBars[i]);
    }
    world->renderer.SetBackgroundColor(kBackground);
    world->renderer.SetAmbientColor(kAmbient);
    if (!destroyed) DrawModel(world);
}

void PlayerShip::AimCamera(World* world)
{
    Camera& camera = world->renderer.GetCamera();
    // The display's own shape: a fixed 4:3 would stretch the picture on wide modes.
    camera.SetProjection(Pi() * 0.25f, world->renderer.DisplayAspect());
    camera.SetLook(Vec4(0.0f, kCameraHeight, progressZ - 1.0f), Vec4(0.0f, 0.0f, progressZ), Vec4(0.0f, 1.0f, 0.0f));
    if (ActorGame* game = GameOf(world)) game->TookCamera("ship");
}

void PlayerShip::DrawModel(World* world)
{
    const Vec4 at = WorldPosition();
    const bool blinkedOff = hitTimer <= kHitWindow && drawCounter % kBlinkPeriod >= kBlinkPeriod / 2;
    if (!blinkedOff) model.PlaceObjects(world->renderer, Matrix::Translation(at.x, at.y, at.z));
    light.position = at;
    light.colour = kEngineLightColour;
    light.radius = kEngineLightRadius;
    world->renderer.AddLight(&light);
}

void PlayerShip::onCollision(World* world, SceneNode* other)
{
    if (InGroup(other, kEnemyGroup)) TakeHit();
}

void PlayerShip::TakeHit()
{
    if (hitTimer > kHitWindow) health -= 1;
    hitTimer = 0.0f;
}
