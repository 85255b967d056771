#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A grid of floats that wraps at its edges in both directions, so that everything painted into
// it tiles: height fields, masks, noise. Coordinates are pixels, (0, 0) the top-left one.
class Field {
public:
    Field() = default;
    Field(int width, int height, float value = 0.0f);

    int Width() const { return width_; }
    int Height() const { return height_; }

    float& At(int x, int y) { return values_[Index(x, y)]; }
    float At(int x, int y) const { return values_[Index(x, y)]; }
    // Bilinear between the four nearest pixels, wrapping.
    float Sample(float x, float y) const;

    // Three box passes of the given radius in each direction: close to a Gaussian.
    Field Blurred(int radius) const;
    // Every value v becomes v × scale + offset.
    void Remap(float scale, float offset);
    void Add(const Field& other, float weight = 1.0f);

    std::vector<float>& Values() { return values_; }
    const std::vector<float>& Values() const { return values_; }

private:
    size_t Index(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<float> values_;
};

// Tileable value noise and its sums over octaves, in [0, 1]. x and y are lattice coordinates: the
// pattern repeats every period cells in both directions.
float LatticeNoise(float x, float y, int period, uint32_t seed);
float FractalNoise(float x, float y, int period, int octaves, uint32_t seed);
// Distance (in cells) from (x, y) to the nearest of one random point per cell, tileable.
float CellDistance(float x, float y, int period, uint32_t seed);

// A field of fractal noise whose base lattice puts period cells across the field's width.
Field NoiseField(int width, int height, int period, int octaves, uint32_t seed);
