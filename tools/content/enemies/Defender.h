#pragma once

class AssetSet;

// "defender.3DF": the basic enemy, a clawed interceptor facing −z (towards the player), with a red
// eye slit and red engines.
void MakeDefender(AssetSet& assets);
