#pragma once

class AssetSet;
struct InterfaceFonts;

// The title screen's pictures: "banner.tga", the game's name and subtitle over the flyover, and
// "tetters.jpg", the prompt to press Enter, drawn additively.
void MakeTitlePictures(const InterfaceFonts& fonts, AssetSet& assets);
