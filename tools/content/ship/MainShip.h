#pragma once

class AssetSet;

// The player's ship "main_ship.3df" and its maps: a swept-wing fighter, nose towards +z, cyan
// leading edges and two orange engines at the back.
void MakeMainShip(AssetSet& assets);
