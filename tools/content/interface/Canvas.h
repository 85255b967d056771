#pragma once

#include <functional>
#include <vector>

#include "engine/scene/Picture.h"
#include "tools/content/interface/Mask.h"
#include "tools/content/interface/Rgba.h"

// A float RGBA painting surface. Pixels are kept premultiplied by their coverage, so that layers
// mix without dark seams at soft edges; the top row comes first.
class Canvas {
public:
    using Paint = std::function<Rgba(int x, int y)>;

    Canvas(int width, int height, const Rgba& background = {0.0f, 0.0f, 0.0f, 0.0f});

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The straight colour at a pixel (black where nothing covers it).
    Rgba At(int x, int y) const;

    // Lays a colour over the canvas where the mask covers it (source over).
    void Fill(const Mask& coverage, const Rgba& colour);
    // The same with a colour chosen per pixel: gradients, textures.
    void Fill(const Mask& coverage, const Paint& paint);
    // Adds light: colour × amount goes onto r, g and b, and the coverage grows by amount × colour.a
    // (a glow on a transparent canvas brings its own coverage).
    void AddLight(const Mask& amount, const Rgba& colour);
    // Clears the canvas where the mask covers it (1: nothing left), colour and coverage alike.
    void Erase(const Mask& amount);
    // Multiplies r, g and b by 1 + shade (shade from −1 to darken to black, above 0 to brighten),
    // leaving the coverage alone: relief lighting, grime, cavities.
    void Shade(const Mask& shade);
    // Lays another canvas over this one with its top-left corner at (left, top).
    void Composite(const Canvas& layer, int left, int top);

    // The 8-bit picture: colours clipped to 0..1 and rounded. Pixels that end up fully
    // transparent take the colour of the nearest covered ones, so that a filtered texture shows no
    // dark fringe at the edge of what it covers.
    Picture ToPicture() const;

private:
    Rgba& Pixel(int x, int y) { return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)]; }
    const Rgba& Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)]; }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;  // premultiplied
};
