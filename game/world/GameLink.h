#pragma once

// What entities reach of the running game through World::game: the ship's progress along the
// level, and the quit flag. The game shell implements it; a world without a game has none.
class GameLink {
public:
    virtual ~GameLink() = default;
    // How far the ship has scrolled along +z; the level spawns entities ahead of it.
    virtual float ShipProgressZ() const = 0;
    virtual void RequestQuit() = 0;
};
