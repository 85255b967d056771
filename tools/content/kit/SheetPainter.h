#pragma once

#include <cstdint>

#include "tools/content/kit/Canvas.h"
#include "tools/content/kit/Field.h"
#include "tools/content/kit/TrimSheet.h"

// The colours a trim sheet is painted in. Every band takes what it needs.
struct SheetPalette {
    Rgb metal{0.42f, 0.45f, 0.50f};     // the main plates
    Rgb metalAlt{0.34f, 0.36f, 0.40f};  // every other plate's tone
    Rgb paint{0.55f, 0.16f, 0.12f};     // accent paint on some plates and markings
    Rgb dark{0.07f, 0.075f, 0.085f};    // recesses, housings, holes
    Rgb rust{0.42f, 0.20f, 0.08f};
    Rgb grime{0.05f, 0.045f, 0.04f};
    Rgb bare{0.72f, 0.72f, 0.70f};      // metal where paint wore off
    Rgb hazardA{0.85f, 0.62f, 0.08f};
    Rgb hazardB{0.06f, 0.06f, 0.06f};
    Rgb ink{0.85f, 0.84f, 0.78f};       // stencilled numbers
    float wear = 0.5f;                  // 0..1: how much edges are worn bare
    float dirt = 0.5f;                  // 0..1: grime in seams and crevices
    float rustiness = 0.0f;             // 0..1: rust in the seams of every band
    const char* code = "ZX";            // letters stencilled beside the numbers
    float stencils = 0.14f;             // share of hull plates that carry a stencilled number
    float streaks = 0.0f;               // 0..1: grime running down (along v) from seams and edges
};

// A painted sheet: the colour (its fourth channel the emission of glowing bands) and the relief
// from which the normal map comes.
struct PaintedSheet {
    Canvas colour;
    Field heights;
};

// Paints every band of the sheet, then weathers the whole: grime into crevices, wear on raised
// edges, broad and fine variation. Emitting pixels stay clean.
PaintedSheet PaintSheet(const TrimSheet& sheet, const SheetPalette& palette, uint32_t seed);

// Widths between min and max that add up to total exactly, so that a row of them tiles.
std::vector<int> Partition(int total, int minWidth, int maxWidth, uint64_t seed);
