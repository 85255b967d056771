#pragma once
// A folder the stack does not place.
#include "engine/platform/Log.h"
