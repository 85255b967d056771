#pragma once
// Points up: the scene sits below the renderer.
#include "engine/render/Renderer.h"
