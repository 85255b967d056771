#pragma once

#include <cstdint>

// Seeded, repeatable noise for grain, wear and flames: the same seed and coordinates give the same
// value on every machine.
namespace noise {

// A well-mixed 32-bit value for a lattice point.
uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
// A value from 0 to 1 for a lattice point.
float Lattice(int32_t x, int32_t y, uint32_t seed);
// Smoothly interpolated lattice values, 0 to 1, one feature per unit.
float Value(float x, float y, uint32_t seed);
// Octaves of Value, each twice as fine and half as strong, normalised back to 0 to 1.
float Fractal(float x, float y, int octaves, uint32_t seed);

}  // namespace noise
