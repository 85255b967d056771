#pragma once

class AssetSet;
struct InterfaceFonts;

// The emblem outside the game: "logo.bmp", the settings dialog's 126 × 89 picture, and
// "icon.png", the 256 × 256 desktop icon.
void MakeEmblemPictures(const InterfaceFonts& fonts, AssetSet& assets);
