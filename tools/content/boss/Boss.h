#pragma once

class AssetSet;

// "Boss.3df": the guardian at the end of the level, a fortress 92 units across that wakes up in an
// 8.5 s intro (its core rises, arms unfold, armour petals open over a burning eye), with the camera
// "Camera01" sweeping round it and settling where the ship's camera takes over.
void MakeBoss(AssetSet& assets);
