#pragma once

#include <cstdint>

#include "game/world/GameLink.h"

class PlayerShip;
class World;

// What the actors reach of the running game through World::game, beyond the level's needs: the
// player's ship, whose fields they read and set, and the music, which the boss, the ship's
// destruction and the credits switch to other orders of the module. The game shell implements it.
class ActorGame : public GameLink {
public:
    virtual PlayerShip& Ship() = 0;
    // Restarts the level's music module and jumps to the order.
    virtual void JumpMusic(int32_t order) = 0;
    // Who aimed the camera last ("ship", "boss", "door", "end"), for the game's reports.
    virtual void TookCamera(const char* owner) {}
};

// The world's game as the actors see it; null for a world without one (a prototype's, a test's).
ActorGame* GameOf(World* world);
// The game's ship; null without a game.
PlayerShip* ShipOf(World* world);
// Reports the event to the world's game, when there is one.
void ReportTo(World* world, const GameEvent& event);
