#pragma once
// Points sideways: the archive reader and the math stand side by side.
#include "engine/math/Vec4.h"
