#pragma once

class AssetSet;

// "nave.3df": the sentinel, a small armoured saucer with a magenta rim and a red eye, four fins.
void MakeSentinel(AssetSet& assets);
