#pragma once

class AssetSet;

// "door.3df": a blast gate across the track. Two lock bars pull back, then the two halves slide
// apart into the slots of the frame's pillars; fully open from 2.6 s of its 3.0 s track on.
void MakeDoor(AssetSet& assets);
