#include "tools/content/level/LevelMaterials.h"

#include <algorithm>
#include <cmath>

#include "tools/content/kit/Random.h"
#include "tools/content/kit/Relief.h"
#include "tools/content/kit/Stencil.h"

namespace {

constexpr int kSheetWidth = 512;  // pixels

const Rgb kCyan{0.3f, 0.9f, 1.0f};
const Rgb kAmber{1.0f, 0.6f, 0.18f};
const Rgb kRed{1.0f, 0.15f, 0.1f};
const Rgb kTeal{0.2f, 1.0f, 0.75f};
const Rgb kWindowLight{0.85f, 0.62f, 0.32f};

}  // namespace

TrimSheet LevelSheet()
{
    return TrimSheet(kSheetWidth, {
                                      {BandKind::Plates, 160, 20.0f, {}},
                                      {BandKind::Panels, 64, 7.0f, {}},
                                      {BandKind::Vent, 48, 5.0f, {}},
                                      {BandKind::Hazard, 32, 3.0f, {}},
                                      {BandKind::Ribbed, 48, 5.0f, {}},
                                      {BandKind::Rust, 160, 20.0f, {}},
                                      {BandKind::Machinery, 96, 10.0f, kAmber},
                                      {BandKind::Windows, 32, 3.5f, kWindowLight},
                                      {BandKind::Edge, 32, 2.5f, {}},
                                      {BandKind::Glow, 24, 1.6f, kCyan},
                                      {BandKind::Glow, 24, 1.6f, kAmber},
                                      {BandKind::Glow, 24, 1.6f, kRed},
                                      {BandKind::Grating, 64, 6.0f, {}},
                                      {BandKind::Markings, 48, 5.0f, {0.55f, 0.42f, 0.08f}},
                                      {BandKind::Glow, 24, 1.6f, kTeal},
                                  });
}

SheetPalette LevelPalette()
{
    SheetPalette palette;
    palette.metal = {0.48f, 0.50f, 0.53f};
    palette.metalAlt = {0.37f, 0.38f, 0.41f};
    palette.paint = {0.30f, 0.36f, 0.40f};
    palette.rust = {0.45f, 0.22f, 0.09f};
    palette.wear = 0.55f;
    palette.dirt = 0.8f;
    palette.rustiness = 0.45f;
    palette.code = "K";
    palette.stencils = 0.04f;
    palette.streaks = 0.6f;
    return palette;
}

PaintedSheet PaintGround(int size, uint32_t seed)
{
    Canvas colour(size, size, {0.2f, 0.2f, 0.21f});
    Field heights(size, size);
    Random random(seed);
    const Field broad = NoiseField(size, size, 4, 5, seed + 1);
    const Field fine = NoiseField(size, size, 64, 2, seed + 2);
    const int plate = size / 4;
    PixelRect numbered{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const PixelRect r{column * plate, row * plate, (column + 1) * plate, (row + 1) * plate};
            const int kind = random.Below(6);
            if (kind == 0) {
                // A grate over darkness.
                relief::Plate(heights, r.Inset(2), 2.0f, 2.0f);
                for (int y = r.y0 + 8; y < r.y1 - 8; ++y)
                    for (int x = r.x0 + 8; x < r.x1 - 8; ++x) {
                        const bool bar = (x - r.x0) % 8 < 3;
                        heights.At(x, y) = bar ? 1.5f : -3.0f;
                        colour.Set(x, y, bar ? Rgb{0.30f, 0.30f, 0.30f} : Rgb{0.03f, 0.03f, 0.035f});
                    }
            } else {
                if (numbered.Width() == 0 && row == 3) numbered = r;
                relief::Plate(heights, r.Inset(2), 3.0f, 3.0f);
                colour.Fill(r, Rgb{0.22f, 0.22f, 0.23f} * random.Range(0.75f, 1.2f));
                if (kind == 1) relief::Step(heights, r.Inset(16), -1.5f, 2.0f);
                if (kind == 2) {
                    for (int i = 0; i < 4; ++i) {
                        const float y = static_cast<float>(r.y0) + 20.0f + static_cast<float>(i) * (static_cast<float>(plate) - 40.0f) / 3.0f;
                        relief::Groove(heights, static_cast<float>(r.x0 + 12), y, static_cast<float>(r.x1 - 12), y, 2.0f, 1.5f);
                    }
                }
                for (float cx : {r.x0 + 7.0f, r.x1 - 7.0f})
                    for (float cy : {r.y0 + 7.0f, r.y1 - 7.0f}) relief::Rivet(heights, cx, cy, 3.0f, 2.0f);
            }
        }
    // Hazard lines along two seams, and a stencilled bay number.
    for (int x = 0; x < size; ++x)
        for (int y = plate * 2 - 5; y < plate * 2 + 5; ++y) {
            const bool yellow = ((x + y) / 6) % 2 == 0;
            colour.Blend(x, y, yellow ? Rgb{0.75f, 0.55f, 0.08f} : Rgb{0.05f, 0.05f, 0.05f}, 0.8f);
        }
    if (numbered.Width() > 0) stencil::Paint(colour, "07", numbered.x0 + 20, numbered.y0 + 24, 6, {0.7f, 0.68f, 0.6f}, 0.55f, 0.25f, seed + 3);
    // Weathering: oil and rust stains, grime in the seams.
    Field smooth = heights.Blurred(3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb c = colour.Get(x, y);
            const float cav = heights.At(x, y) - smooth.At(x, y);
            c = Mix(c, Rgb{0.03f, 0.03f, 0.025f}, std::clamp(-cav * 0.4f, 0.0f, 0.8f));
            const float stain = CellDistance(static_cast<float>(x) * 6.0f / static_cast<float>(size), static_cast<float>(y) * 6.0f / static_cast<float>(size), 6, seed + 4);
            if (stain < 0.35f) c = Mix(c, broad.At(x, y) > 0.5f ? Rgb{0.32f, 0.16f, 0.07f} : Rgb{0.06f, 0.06f, 0.05f}, (0.35f - stain) * 1.6f);
            c = c * (0.75f + 0.5f * broad.At(x, y)) * (0.92f + 0.16f * fine.At(x, y));
            colour.Set(x, y, c);
        }
    return {std::move(colour), std::move(heights)};
}
