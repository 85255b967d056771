#pragma once
// A relative path hides where it points.
#include "../actors/Ship.h"
  #  include "game/world/SceneNode.h"
#include <vector>
