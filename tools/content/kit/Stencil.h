#pragma once

#include "tools/content/kit/Canvas.h"

// Block letters of a 5 × 7 grid for painted markings: digits, capitals and "-". Unknown
// characters leave a space.
namespace stencil {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Whether the cell (column, row) of the character is painted.
bool Cell(char c, int column, int row);
// Width in pixels of text at the given scale (pixels per cell), one blank column between glyphs.
int TextWidth(const char* text, int scale);
// Paints text with its top-left corner at (x, y); wear (0..1) leaves speckled gaps.
void Paint(Canvas& canvas, const char* text, int x, int y, int scale, const Rgb& colour, float amount, float wear,
           uint32_t seed);

}  // namespace stencil
