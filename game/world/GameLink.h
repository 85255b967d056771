#pragma once

#include "game/world/GameEvent.h"

// What entities reach of the running game through World::game: the ship's progress along the
// level, the quit flag, and a place to report what happens. The game implements it; a world
// without a game has none.
class GameLink {
public:
    virtual ~GameLink() = default;
    // How far the ship has scrolled along +z; the level spawns entities ahead of it.
    virtual float ShipProgressZ() const = 0;
    // Ends the level play after the current frame; reason is "escape", "ship destroyed" or
    // "credits", and the first one given is kept.
    virtual void RequestQuit(const char* reason) = 0;
    virtual void Report(const GameEvent& event) {}
};
