#pragma once

class AssetSet;
struct InterfaceFonts;

// "end_credits.tga": the full-screen credits laid over the view circling the ship at the end of
// the level: the game's name at the top, the thanks and the credits in a dark translucent panel
// below, and the middle left clear for the ship.
void MakeCreditsPicture(const InterfaceFonts& fonts, AssetSet& assets);
