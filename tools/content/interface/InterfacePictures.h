#pragma once

class AssetSet;

// The pictures of the screens around the play: the HUD frames and segments, the title banner and
// prompt, shots, shock ring, explosion frames, the credits and the settings dialog's logo.
void MakeInterfacePictures(AssetSet& assets);
