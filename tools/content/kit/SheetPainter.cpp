#include "tools/content/kit/SheetPainter.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/content/kit/NormalMap.h"
#include "tools/content/kit/Random.h"
#include "tools/content/kit/Relief.h"
#include "tools/content/kit/Stencil.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kPlateHeight = 3.0f;  // pixels of relief of a hull plate
constexpr float kPlateBevel = 2.5f;   // pixels over which a plate's rim falls to its seam
constexpr float kBeaconHeat = 0.2f;   // 0..1: how far a beacon's middle turns towards white

// A period near wanted that divides total, so that a pattern of it tiles.
int Divisor(int total, int wanted)
{
    const int count = std::max(1, static_cast<int>(std::lround(static_cast<float>(total) / static_cast<float>(std::max(1, wanted)))));
    return total / count;
}

class Painter {
public:
    Painter(const TrimSheet& sheet, const SheetPalette& palette, uint32_t seed)
        : sheet_(sheet), palette_(palette), seed_(seed), random_(seed),
          colour_(sheet.Width(), sheet.Height(), palette.metal), heights_(sheet.Width(), sheet.Height()),
          broad_(NoiseField(sheet.Width(), sheet.Height(), 4, 5, seed + 1)),
          fine_(NoiseField(sheet.Width(), sheet.Height(), 64, 2, seed + 2))
    {
    }

    PaintedSheet Paint()
    {
        for (int i = 0; i < sheet_.Count(); ++i) PaintBand(sheet_.At(i));
        Weather();
        return {std::move(colour_), std::move(heights_)};
    }

private:
    int W() const { return sheet_.Width(); }

    void PaintBand(const Band& band)
    {
        const PixelRect r{0, band.y0, W(), band.y0 + band.pixels};
        switch (band.kind) {
        case BandKind::Plates: Plates(r, band.pixels >= 96 ? 2 : 1, false); break;
        case BandKind::Panels: Panels(r); break;
        case BandKind::Vent: Vent(r); break;
        case BandKind::Hazard: Hazard(r); break;
        case BandKind::Ribbed: Ribbed(r); break;
        case BandKind::Rust: Plates(r, band.pixels >= 96 ? 2 : 1, true); break;
        case BandKind::Machinery: Machinery(r, band.light); break;
        case BandKind::Windows: Windows(r, band.light); break;
        case BandKind::Edge: Edge(r); break;
        case BandKind::Glow: Glow(r, band.light); break;
        case BandKind::Grating: Grating(r); break;
        case BandKind::Markings: Markings(r, band.light); break;
        case BandKind::Glass: Glass(r, band.light); break;
        case BandKind::Engine: Engine(r, band.light); break;
        case BandKind::Beacon: Beacon(r, band.light); break;
        }
    }

    Rgb PlateTone(bool rusty)
    {
        const Rgb base = Mix(palette_.metal, palette_.metalAlt, random_.Unit());
        const Rgb tone = base * random_.Range(0.88f, 1.1f);
        return rusty ? Mix(tone, palette_.rust, random_.Range(0.2f, 0.5f)) : tone;
    }

    void Stencil(const PixelRect& plate, int scale)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%s%d", random_.Chance(0.5f) ? palette_.code : "", 1 + random_.Below(98));
        const int width = stencil::TextWidth(text, scale);
        if (width + 8 > plate.Width() || stencil::kGlyphHeight * scale + 8 > plate.Height()) return;
        stencil::Paint(colour_, text, plate.x0 + 6, plate.y0 + 6, scale, palette_.ink, 0.85f, 0.12f, seed_ + static_cast<uint32_t>(plate.x0));
    }

    void Plates(const PixelRect& r, int rows, bool rusty)
    {
        const int rowHeight = r.Height() / rows;
        for (int row = 0; row < rows; ++row) {
            const int y0 = r.y0 + row * rowHeight;
            const int y1 = row + 1 == rows ? r.y1 : y0 + rowHeight;
            const int shift = random_.Below(W());
            int x = shift;
            for (int width : Partition(W(), rowHeight * 4 / 5, rowHeight * 11 / 5, random_.Next())) {
                const PixelRect plate{x, y0, x + width, y1};
                x += width;
                relief::Plate(heights_, plate.Inset(1), kPlateHeight, kPlateBevel);
                colour_.Fill(plate, PlateTone(rusty));
                if (random_.Chance(0.55f)) {
                    const float inset = 4.5f;
                    relief::RivetRow(heights_, plate.x0 + inset, y0 + inset, plate.x1 - inset, y0 + inset, 9.0f, 1.6f, 1.4f);
                    relief::RivetRow(heights_, plate.x0 + inset, y1 - inset, plate.x1 - inset, y1 - inset, 9.0f, 1.6f, 1.4f);
                }
                if (width > 40 && random_.Chance(0.3f)) {
                    relief::Step(heights_, plate.Inset(9), -1.5f, 1.5f);
                    colour_.Fill(plate.Inset(9), palette_.dark, 0.25f);
                }
                if (!rusty && random_.Chance(0.2f)) {
                    colour_.Fill({plate.x0 + 2, plate.y0 + 2, plate.x1 - 2, plate.y0 + 2 + plate.Height() / 4}, palette_.paint, 0.8f);
                }
                if (random_.Chance(palette_.stencils)) Stencil(plate, std::max(1, plate.Height() / 28));
                if (rusty) Corrode(plate);
            }
        }
    }

    // Pits where cells crowd, and streaks running down the plate.
    void Corrode(const PixelRect& plate)
    {
        const int period = 16;
        const float scale = static_cast<float>(period) / static_cast<float>(W());
        for (int y = plate.y0; y < plate.y1; ++y)
            for (int x = plate.x0; x < plate.x1; ++x) {
                const float cell = CellDistance(static_cast<float>(x) * scale * 2.0f, static_cast<float>(y) * scale * 2.0f, period * 2, seed_ + 7);
                if (cell < 0.18f) {
                    heights_.At(x, y) -= (0.18f - cell) * 8.0f;
                    colour_.Blend(x, y, palette_.rust * 0.5f, 0.6f);
                }
                // Rust spreads in blotches, darker where it is thick.
                const float blotch = std::clamp((broad_.At(x, y) * 0.7f + fine_.At(x, y) * 0.3f - 0.35f) * 3.0f, 0.0f, 1.0f);
                colour_.Blend(x, y, palette_.rust * (1.1f - 0.4f * fine_.At(x, y)), blotch * 0.8f);
            }
    }

    void Panels(const PixelRect& r)
    {
        const int h = r.Height();
        int x = random_.Below(W());
        for (int width : Partition(W(), h / 2, h * 6 / 5, random_.Next())) {
            const PixelRect panel{x, r.y0 + 5, x + width, r.y1 - 5};
            x += width;
            relief::Plate(heights_, panel.Inset(1), 2.0f, 2.0f);
            colour_.Fill(panel, PlateTone(false));
            if (panel.Width() > 14 && random_.Chance(0.6f)) relief::Step(heights_, panel.Inset(5), -1.0f, 1.0f);
            if (random_.Chance(0.25f)) relief::Groove(heights_, panel.x0 + 5.0f, panel.y1 - 7.0f, panel.x1 - 5.0f, panel.y1 - 7.0f, 1.0f, 1.0f);
        }
        // Continuous rivet rows where the strip is fixed to the hull.
        relief::RivetRow(heights_, 0, r.y0 + 2.5f, static_cast<float>(W()), r.y0 + 2.5f, 8.0f, 1.4f, 1.2f);
        relief::RivetRow(heights_, 0, r.y1 - 2.5f, static_cast<float>(W()), r.y1 - 2.5f, 8.0f, 1.4f, 1.2f);
        colour_.Fill({0, r.y0, W(), r.y0 + 5}, palette_.metalAlt, 0.7f);
        colour_.Fill({0, r.y1 - 5, W(), r.y1}, palette_.metalAlt, 0.7f);
    }

    void Vent(const PixelRect& r)
    {
        const int h = r.Height();
        relief::Plate(heights_, r, 2.0f, 2.0f);
        colour_.Fill(r, palette_.metalAlt);
        int x = 0;
        for (int width : Partition(W(), h * 2, h * 3, random_.Next())) {
            const PixelRect grille{x + 4, r.y0 + 4, x + width - 4, r.y1 - 4};
            x += width;
            relief::Step(heights_, grille, -3.0f, 1.0f);
            relief::Slats(heights_, grille, std::max(3, h / 6), 2.0f);
            const float pitch = static_cast<float>(grille.Height()) / static_cast<float>(std::max(3, h / 6));
            for (int y = grille.y0; y < grille.y1; ++y) {
                const float phase = std::fmod((static_cast<float>(y - grille.y0) + 0.5f) / pitch, 1.0f);
                const Rgb slat = Mix(palette_.dark, palette_.metalAlt * 0.8f, phase < 0.75f ? phase / 0.75f : 0.0f);
                colour_.Fill({grille.x0, y, grille.x1, y + 1}, slat);
            }
            for (float cx : {static_cast<float>(grille.x0) - 1.5f, static_cast<float>(grille.x1) + 1.5f})
                for (float cy : {static_cast<float>(grille.y0) + 1.0f, static_cast<float>(grille.y1) - 1.0f}) relief::Rivet(heights_, cx, cy, 1.3f, 1.2f);
        }
    }

    void Hazard(const PixelRect& r)
    {
        const int period = Divisor(W(), r.Height() * 3 / 2);
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = 0; x < W(); ++x) {
                const int phase = ((x + y - r.y0) % period + period) % period;
                Rgb c = phase < period / 2 ? palette_.hazardA : palette_.hazardB;
                // Worn through to the metal in patches.
                if (fine_.At(x, y) * 0.6f + broad_.At(x, y) * 0.4f > 0.68f) c = Mix(c, palette_.metalAlt, 0.75f);
                colour_.Set(x, y, c);
            }
        relief::Plate(heights_, r, 1.5f, 1.0f);
        colour_.Fill({0, r.y0, W(), r.y0 + 3}, palette_.metalAlt);
        colour_.Fill({0, r.y1 - 3, W(), r.y1}, palette_.metalAlt);
    }

    void Ribbed(const PixelRect& r)
    {
        const int pitch = Divisor(W(), 8);
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = 0; x < W(); ++x) {
                const float wave = Sine(2.0f * kPi * static_cast<float>(x) / static_cast<float>(pitch));
                heights_.At(x, y) += 1.4f * wave;
                colour_.Set(x, y, palette_.metalAlt * (0.8f + 0.12f * wave));
            }
        const int collars = Divisor(W(), 128);
        for (int x = collars / 2; x < W(); x += collars) {
            relief::Plate(heights_, {x - 6, r.y0, x + 6, r.y1}, 3.5f, 2.0f);
            colour_.Fill({x - 6, r.y0, x + 6, r.y1}, palette_.metal);
            relief::RivetRow(heights_, static_cast<float>(x), r.y0 + 3.0f, static_cast<float>(x), r.y1 - 3.0f, 7.0f, 1.3f, 1.2f);
        }
    }

    void Machinery(const PixelRect& r, const Rgb& light)
    {
        colour_.Fill(r, palette_.dark * 1.6f);
        int x = 0;
        for (int width : Partition(W(), r.Height() / 2, r.Height() * 3 / 2, random_.Next())) {
            const PixelRect block{x + 2, r.y0 + 2, x + width - 2, r.y1 - 2};
            x += width;
            const int kind = random_.Below(4);
            if (kind == 0) {
                for (int i = 0; i < 4; ++i) {
                    const int w = std::max(4, random_.Below(block.Width())), h = std::max(4, random_.Below(block.Height()));
                    const int bx = block.x0 + random_.Below(std::max(1, block.Width() - w)), by = block.y0 + random_.Below(std::max(1, block.Height() - h));
                    relief::Plate(heights_, {bx, by, bx + w, by + h}, random_.Range(1.5f, 5.0f), 1.5f);
                    colour_.Fill({bx, by, bx + w, by + h}, PlateTone(false) * 0.8f);
                }
            } else if (kind == 1) {
                const int conduits = 2 + random_.Below(3);
                for (int i = 0; i < conduits; ++i) {
                    const float y = block.y0 + (static_cast<float>(i) + 0.5f) * static_cast<float>(block.Height()) / static_cast<float>(conduits);
                    relief::Groove(heights_, static_cast<float>(block.x0), y, static_cast<float>(block.x1), y, 2.2f, -2.0f);
                    colour_.Fill({block.x0, static_cast<int>(y) - 2, block.x1, static_cast<int>(y) + 2}, i % 2 ? palette_.metal : palette_.paint * 0.7f);
                }
            } else if (kind == 2) {
                const float cx = (block.x0 + block.x1) * 0.5f, cy = (block.y0 + block.y1) * 0.5f;
                const float radius = std::min(block.Width(), block.Height()) * 0.38f;
                relief::Rivet(heights_, cx, cy, radius, 3.0f);
                relief::Groove(heights_, cx - radius * 0.6f, cy, cx + radius * 0.6f, cy, 1.0f, 1.5f);
                colour_.Fill({static_cast<int>(cx - radius), static_cast<int>(cy - radius), static_cast<int>(cx + radius), static_cast<int>(cy + radius)}, palette_.metal, 0.6f);
            } else {
                relief::Plate(heights_, block, 2.0f, 1.5f);
                colour_.Fill(block, palette_.metalAlt);
                relief::Slats(heights_, block.Inset(3), 4, 1.5f);
            }
            // Indicator lamps.
            if (random_.Chance(0.5f)) {
                const int lx = block.x0 + 2 + random_.Below(std::max(1, block.Width() - 6));
                for (int i = 0; i < 1 + random_.Below(3); ++i) Lamp(lx + i * 5, block.y0 + 3, 3, 2, light);
            }
        }
    }

    void Lamp(int x, int y, int w, int h, const Rgb& light)
    {
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px) {
                colour_.Set(px, py, light);
                colour_.SetAlpha(px, py, 1.0f);
            }
    }

    void Windows(const PixelRect& r, const Rgb& light)
    {
        colour_.Fill(r, palette_.dark * 1.4f);
        relief::Plate(heights_, {0, r.y0, W(), r.y0 + 4}, 2.0f, 1.0f);
        relief::Plate(heights_, {0, r.y1 - 4, W(), r.y1}, 2.0f, 1.0f);
        const int period = Divisor(W(), std::max(8, r.Height() / 2));
        const int top = r.y0 + r.Height() / 4, bottom = r.y1 - r.Height() / 4;
        for (int x = 0; x < W(); x += period) {
            const PixelRect window{x + period / 5, top, x + period - period / 5, bottom};
            relief::Step(heights_, window, -1.0f, 0.5f);
            if (random_.Chance(0.5f)) {
                const float brightness = random_.Range(0.55f, 1.0f);
                for (int y = window.y0; y < window.y1; ++y)
                    for (int px = window.x0; px < window.x1; ++px) {
                        colour_.Set(px, y, light * brightness);
                        colour_.SetAlpha(px, y, 1.0f);
                    }
            } else {
                colour_.Fill(window, palette_.dark * 0.6f);
            }
        }
    }

    void Edge(const PixelRect& r)
    {
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = 0; x < W(); ++x) {
                const float scratch = LatticeNoise(static_cast<float>(x) * 64.0f / static_cast<float>(W()), static_cast<float>(y) * 1.3f, 64, seed_ + 11);
                colour_.Set(x, y, Mix(palette_.metal, palette_.bare, 0.55f) * (0.8f + 0.35f * scratch));
                heights_.At(x, y) += (scratch - 0.5f) * 0.6f;
            }
    }

    void Glow(const PixelRect& r, const Rgb& light)
    {
        colour_.Fill(r, palette_.dark);
        relief::Plate(heights_, r, 2.0f, 1.5f);
        const int core0 = r.y0 + r.Height() * 3 / 10, core1 = r.y1 - r.Height() * 3 / 10;
        const int dividers = Divisor(W(), 64);
        for (int y = core0; y < core1; ++y) {
            const float t = (static_cast<float>(y - core0) + 0.5f) / static_cast<float>(core1 - core0);
            const float profile = Sine(t * kPi);
            const Rgb c = Mix(light * (0.75f + 0.25f * profile), Rgb{1, 1, 1}, 0.3f * profile * profile);
            for (int x = 0; x < W(); ++x) {
                const bool divider = x % dividers < 3;
                colour_.Set(x, y, divider ? palette_.dark : c);
                colour_.SetAlpha(x, y, divider ? 0.0f : 1.0f);
            }
        }
    }

    void Grating(const PixelRect& r)
    {
        const int pitch = Divisor(W(), 8);
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = 0; x < W(); ++x) {
                const bool bar = x % pitch < 2 || (y - r.y0) % pitch < 2;
                heights_.At(x, y) += bar ? 0.0f : -3.0f;
                colour_.Set(x, y, bar ? palette_.metalAlt : palette_.dark * 0.35f);
            }
        relief::Plate(heights_, {0, r.y0, W(), r.y0 + 4}, 2.5f, 1.0f);
        relief::Plate(heights_, {0, r.y1 - 4, W(), r.y1}, 2.5f, 1.0f);
        colour_.Fill({0, r.y0, W(), r.y0 + 4}, palette_.metal);
        colour_.Fill({0, r.y1 - 4, W(), r.y1}, palette_.metal);
    }

    void Markings(const PixelRect& r, const Rgb& paint)
    {
        colour_.Fill(r, paint);
        relief::Plate(heights_, r.Inset(1), 2.0f, 2.0f);
        const int scale = std::max(1, (r.Height() - 10) / stencil::kGlyphHeight);
        const int slots = Divisor(W(), scale * 24);
        for (int x = 0; x < W(); x += slots) {
            char text[16];
            std::snprintf(text, sizeof text, "%02d", 1 + random_.Below(98));
            const int width = stencil::TextWidth(text, scale);
            stencil::Paint(colour_, text, x + (slots - width) / 2, r.y0 + (r.Height() - stencil::kGlyphHeight * scale) / 2, scale,
                           palette_.ink, 0.9f, 0.08f, seed_ + static_cast<uint32_t>(x));
            relief::Groove(heights_, static_cast<float>(x), static_cast<float>(r.y0), static_cast<float>(x), static_cast<float>(r.y1), 1.2f, 1.5f);
        }
    }

    void Glass(const PixelRect& r, const Rgb& light)
    {
        for (int y = r.y0; y < r.y1; ++y) {
            const float t = static_cast<float>(y - r.y0) / static_cast<float>(r.Height());
            for (int x = 0; x < W(); ++x) {
                const float sheen = std::max(0.0f, 1.0f - std::fabs(static_cast<float>((x + 2 * (y - r.y0)) % 96) - 30.0f) / 12.0f);
                colour_.Set(x, y, Mix(Rgb{0.10f, 0.16f, 0.22f}, Rgb{0.03f, 0.05f, 0.08f}, t) + Rgb{0.10f, 0.14f, 0.16f} * sheen);
            }
        }
        Lamp(0, r.y0, W(), 2, light);
        Lamp(0, r.y1 - 2, W(), 2, light);
        const int frames = Divisor(W(), 64);
        for (int x = 0; x < W(); x += frames) {
            relief::Plate(heights_, {x, r.y0, x + 3, r.y1}, 2.0f, 1.0f);
            colour_.Fill({x, r.y0 + 2, x + 3, r.y1 - 2}, palette_.metalAlt * 0.6f);
        }
    }

    void Engine(const PixelRect& r, const Rgb& light)
    {
        for (int y = r.y0; y < r.y1; ++y) {
            const float t = std::fabs((static_cast<float>(y - r.y0) + 0.5f) / static_cast<float>(r.Height()) * 2.0f - 1.0f);
            const Rgb c = Mix(Rgb{1.0f, 0.93f, 0.7f}, light, std::min(1.0f, t * 1.4f)) * (1.0f - 0.45f * t * t);
            for (int x = 0; x < W(); ++x) {
                colour_.Set(x, y, c);
                colour_.SetAlpha(x, y, 1.0f);
            }
        }
    }

    // Saturated all the way across, so that a face a few pixels wide on screen still shows the
    // colour; only the middle runs a little hotter.
    void Beacon(const PixelRect& r, const Rgb& light)
    {
        for (int y = r.y0; y < r.y1; ++y) {
            const float t = (static_cast<float>(y - r.y0) + 0.5f) / static_cast<float>(r.Height());
            const float profile = Sine(t * kPi);
            const Rgb c = Mix(light * (0.8f + 0.2f * profile), Rgb{1, 1, 1}, kBeaconHeat * profile * profile);
            for (int x = 0; x < W(); ++x) {
                colour_.Set(x, y, c);
                colour_.SetAlpha(x, y, 1.0f);
            }
        }
    }

    void Weather()
    {
        const Field cavity = Cavity(heights_, 2);
        for (int y = 0; y < sheet_.Height(); ++y)
            for (int x = 0; x < W(); ++x) {
                if (colour_.Alpha(x, y) > 0.5f) continue;
                Rgb c = colour_.Get(x, y);
                const float cav = cavity.At(x, y), fine = fine_.At(x, y), broad = broad_.At(x, y);
                const float grime = std::clamp(-cav * 0.35f, 0.0f, 1.0f) * palette_.dirt;
                c = Mix(c, palette_.grime, grime * 0.85f);
                if (palette_.rustiness > 0.0f && cav < -0.4f) c = Mix(c, palette_.rust, palette_.rustiness * broad);
                const float wear = std::clamp(cav * 0.6f - 0.15f, 0.0f, 1.0f) * palette_.wear * (fine > 0.42f ? 1.0f : 0.3f);
                c = Mix(c, palette_.bare, wear);
                c = c * (0.8f + 0.4f * broad) * (0.94f + 0.12f * fine);
                if (palette_.streaks > 0.0f) {
                    // Streaks: thin columns of noise, long along v, stronger below crevices.
                    const float column = LatticeNoise(static_cast<float>(x) * 160.0f / static_cast<float>(W()), static_cast<float>(y) * 0.015f, 160, seed_ + 13);
                    const float below = std::clamp(-cavity.At(x, y - 3) * 0.25f, 0.0f, 1.0f);
                    c = Mix(c, palette_.grime, palette_.streaks * std::clamp((column - 0.62f) * 1.5f + below * 0.3f, 0.0f, 0.35f));
                }
                colour_.Set(x, y, c);
            }
    }

    const TrimSheet& sheet_;
    const SheetPalette& palette_;
    uint32_t seed_;
    Random random_;
    Canvas colour_;
    Field heights_;
    Field broad_;
    Field fine_;
};

}  // namespace

std::vector<int> Partition(int total, int minWidth, int maxWidth, uint64_t seed)
{
    Random random(seed);
    minWidth = std::max(1, minWidth);
    maxWidth = std::max(minWidth, maxWidth);
    std::vector<int> widths;
    int left = total;
    while (left > 0) {
        int width = minWidth + random.Below(maxWidth - minWidth + 1);
        if (left - width < minWidth) width = left;
        widths.push_back(width);
        left -= width;
    }
    return widths;
}

PaintedSheet PaintSheet(const TrimSheet& sheet, const SheetPalette& palette, uint32_t seed)
{
    return Painter(sheet, palette, seed).Paint();
}
