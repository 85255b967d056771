#pragma once

#include <vector>

// One float per pixel, the top row first: the coverage of a shape (0 outside, 1 inside), a height
// field for relief, or an amount of light. Reading outside the grid gives 0.
class Mask {
public:
    Mask() = default;
    Mask(int width, int height, float fill = 0.0f);

    int Width() const { return width_; }
    int Height() const { return height_; }
    float At(int x, int y) const;
    void Set(int x, int y, float value);
    // Adds value to the pixel, when it lies inside the grid.
    void Accumulate(int x, int y, float value);

    // An approximate Gaussian blur of the given standard deviation in pixels (three box passes
    // along each axis); the world outside the grid counts as 0.
    Mask Blurred(float sigma) const;
    // Every value times factor, then clamped to 0..1 when clamp is set.
    Mask Scaled(float factor, bool clamp = false) const;
    // The grid moved by whole pixels; what comes in from outside is 0.
    Mask Shifted(int dx, int dy) const;
    // Pixel by pixel: this × other, max(this − other, 0), max(this, other).
    Mask Times(const Mask& other) const;
    Mask Minus(const Mask& other) const;
    Mask Max(const Mask& other) const;
    // Light on a height field from the direction (lightX, lightY) in the picture's plane (y down):
    // positive where a slope faces the light, negative where it faces away, 0 on the flat.
    Mask Relief(float lightX, float lightY, float strength) const;
    // The smallest box holding every value above threshold, as x0, y0, x1, y1 (inclusive);
    // false when there is none.
    bool Bounds(float threshold, int box[4]) const;

private:
    // The box of the values that are not 0, as Bounds gives it.
    bool Support(int box[4]) const;
    template <typename Test>
    bool BoxOf(Test test, int box[4]) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<float> values_;
};
