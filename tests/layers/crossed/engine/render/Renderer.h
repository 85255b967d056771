#pragma once
// Points down: allowed.
#include "engine/scene/Texture.h"
