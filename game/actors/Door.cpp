#include "game/actors/Door.h"

#include "engine/render/Renderer.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/SceneModel.h"
#include "game/actors/ActorGame.h"
#include "game/actors/PlayerShip.h"
#include "game/actors/ScriptBlock.h"
#include "game/world/World.h"

void Door::load(World* world)
{
    sequenceTimer = 0.0f;
    model = ModelCache::Get("door.3df");
    released = false;
    openingTime = 0.0f;
}

void Door::parse(ScriptReader& reader)
{
    ReadPositionBlock(reader, position, typeName());
}

void Door::update(World* world, float dt)
{
    const Matrix placement = Matrix::Translation(position.x, position.y, position.z);
    PlayerShip* ship = ShipOf(world);
    sequenceTimer += dt;
    if (Opening()) {
        openingTime += dt;
        Animate(world, placement);
        if (ship != nullptr) ship->advancing = ship->controlsEnabled = false;
    }
    if (sequenceTimer > kOpeningEnd) {
        Animate(world, placement);
        if (!released && ship != nullptr) {
            ship->advancing = ship->controlsEnabled = true;
            released = true;
        }
    }
    if (sequenceTimer < kOpeningStart) {
        if (model != nullptr) model->PlaceObjects(world->renderer, placement);
        if (ship != nullptr) cameraAnchor = ship->position;
    }
}

// The pose after openingTime seconds of this door's own animation, whatever another door did
// with the shared model before.
void Door::Animate(World* world, const Matrix& placement)
{
    if (model == nullptr) return;
    model->RewindObjects();
    model->AnimateObjects(world->renderer, placement, openingTime);
}

void Door::draw(World* world)
{
    if (!Opening()) return;
    world->renderer.GetCamera().SetLook(cameraAnchor + kCameraOffset, position, Vec4(0.0f, 1.0f, 0.0f));
    if (ActorGame* game = GameOf(world)) game->TookCamera("door");
}
