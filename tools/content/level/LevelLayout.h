#pragma once

class Scenery;

// The level, section by section: what stands where, the lights, and the title screen's flight.
void BuildScenery(Scenery& scenery);
void PlaceLights(Scenery& scenery);
void AddIntroCamera(Scenery& scenery);
