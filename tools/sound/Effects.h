#pragma once

#include "tools/sound/Sound.h"

// The game's two sound effects, made the same every time.

// A short bright energy shot, soft enough at its start and end to repeat ten times a second.
Sound FireShot();
// A heavy blast: a low falling boom under a noisy roar that darkens as it dies away.
Sound ExplosionBlast();
