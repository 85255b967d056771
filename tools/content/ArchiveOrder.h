#pragma once

#include <vector>

#include "tools/content/AssetSet.h"

// The entries of "data.qzr" in the order the game first reads them. The archive is solid: an entry
// can only be decoded after everything in front of it, so what the title screen and the start of a
// level need comes first, and what is read late (the credits, the boss) last.
std::vector<const AssetSet::File*> ArchiveOrder(const AssetSet& assets);
