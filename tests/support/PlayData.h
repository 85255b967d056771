#pragma once

#include <string>

// A small data set for playing the game without the real data: tiny stand-in models (ship,
// enemies, boss with its intro camera, door with its opening, a ground to scroll over), the
// pictures the actors ask for, the sounds and a music module, and a level script stored as
// "teste.lvl". Tests, benchmarks and anyone watching the game under Xvfb use it.

// Writes data.qzr, fire.wav, explosion.wav and ZEZIZIV5.it into the folder (which must exist).
// The same script always gives the same bytes. False when a file cannot be written.
bool WritePlayData(const std::string& folder, const std::string& script, float levelLength = 800.0f);

// A short level: a defender, a sentinel row, a door, the boss and the end, about 40 s to the
// credits with an autopilot.
std::string ShortLevelScript();
// An empty level: the ship scrolls over the ground and nothing happens.
std::string EmptyLevelScript();
// A long level as busy as a real one: rows of swinging sentinels, defenders in groups, two doors,
// the boss and the end. Its last entity stands at z = length.
std::string SyntheticLevelScript(float* length);
