#pragma once

class AssetSet;

// "level.3df" and its two materials: the scenery from the launch deck to past the end trigger,
// its lights, and the title screen's flight "introCam".
void MakeLevel(AssetSet& assets);
