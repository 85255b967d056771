#pragma once

#include "tools/content/kit/Random.h"
#include "tools/content/level/Scenery.h"

// The scenery's building blocks, each placed in world units and cut into the chunks it crosses.
// Everything stays below level_plan::kTopY.
namespace props {

// The ground: flat tiles of the ground material over [−halfWidth, halfWidth] × [z0, z1].
void Ground(Scenery& scenery, float z0, float z1, float halfWidth, float y);
// A wall along z on one side (side −1 left, +1 right) from inner to outer x (both positive),
// its top lit by a lamp strip of lampBand and a row of windows under it.
void Wall(Scenery& scenery, float side, float z0, float z1, float inner, float outer, float top, int faceBand, int lampBand);
// A walkway across the track at z and height y, from x0 to x1, with lamps on its rails.
void Catwalk(Scenery& scenery, float z, float y, float x0, float x1, int lampBand);
// count pipes side by side (spacing apart in x) along z, on saddles standing on the ground.
void PipeRun(Scenery& scenery, float x, float y, float z0, float z1, float radius, int count, float spacing);
// A storage tank standing on the ground.
void Tank(Scenery& scenery, float x, float z, float radius, float top, int lampBand);
// A cooling tower: a waisted drum with a glowing rim and a dark throat.
void CoolingTower(Scenery& scenery, float x, float z, float radius, float top);
// A machinery block with greebles, a vent and hazard edges, standing on base.
void Block(Scenery& scenery, float x, float z, float halfX, float halfZ, float top, Random& random, float base = -140.0f);
// A platform deck between the corners at height y: edges striped, lamps along its rims and down
// its middle, warning stripes across.
void Deck(Scenery& scenery, float x0, float x1, float z0, float z1, float y, int lampBand);
// A tall block with windows and a red beacon on top.
void Tower(Scenery& scenery, float x, float z, float half, float top);
// A furnace: a block glowing through its vents, with a chimney.
void Furnace(Scenery& scenery, float x, float z, float half, float top);
// A glowing channel along z on the ground between low walls.
void Channel(Scenery& scenery, float x, float z0, float z1, float halfWidth, int glowBand);
// A girder across the track at z with a trolley that travels to and fro along it on the title
// screen, a whole number of times per loop of the level's animation.
void Gantry(Scenery& scenery, float z, float y, float halfSpan, int cyclesPerLoop, float phase);
// A fan in a housing that turns a whole number of times per loop on the title screen.
void Fan(Scenery& scenery, float x, float z, float y, float radius, int turnsPerLoop);
// Low boxes strewn over the ground between x0 and x1 (and mirrored), so that the floor far below
// is never bare.
void Clutter(Scenery& scenery, float z0, float z1, float x0, float x1, int count, Random& random);
// A pipe across the track at z and height y, bending down into the ground at both ends.
void CrossPipe(Scenery& scenery, float z, float y, float halfSpan, float radius);
// A reactor core: a drum ringed with glowing coils under a dome.
void ReactorCore(Scenery& scenery, float x, float z, float radius, float top);
// The wall across the level at a door: massive blocks either side of the slot the door's halves
// slide into, the slot itself left clear.
void Bulkhead(Scenery& scenery, float z);
// The pedestal the boss stands on, conduits running to it, and the pylons around its arena.
void Arena(Scenery& scenery, float z);

}  // namespace props
