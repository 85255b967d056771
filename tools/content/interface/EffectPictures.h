#pragma once

class AssetSet;

// The effects drawn as camera-facing particles: "tiro.jpg" (a shot), "shock.jpg" (an explosion's
// shock ring) and the fireball's eight frames "exp0.tga" to "exp7.tga".
void MakeEffectPictures(AssetSet& assets);
