#pragma once

class AssetSet;

// Files every part of the game shares: the flat normal map "bump_neutral.jpg" that a material
// without a bump map reads, and the level script "teste.lvl", packed as written in
// data/content/teste.lvl.
void MakeCommonFiles(AssetSet& assets);
