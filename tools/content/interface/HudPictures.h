#pragma once

class AssetSet;
struct InterfaceFonts;

// The player's and the boss's HUD frames with a slot wherever the game lays a segment, and one
// segment picture for each: "hud_player.tga", "barra_player.tga", "hud_boss.tga",
// "barra_boss.tga".
void MakeHudPictures(const InterfaceFonts& fonts, AssetSet& assets);
