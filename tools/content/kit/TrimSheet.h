#pragma once

#include <vector>

#include "tools/content/kit/Canvas.h"

// What a band of a trim sheet shows. A trim sheet is a texture of horizontal bands, each as wide
// as the texture and tiling along it: a face takes one band, its long side running along u (which
// wraps) and its short side fitted across the band.
enum class BandKind {
    Plates,     // hull plates with seams, bevels and rivets
    Panels,     // small panels between rivet rows
    Vent,       // a recessed grille of louvres
    Hazard,     // worn diagonal warning stripes
    Ribbed,     // corrugation across u: pipes and ducts
    Rust,       // corroded plates with pitting and streaks
    Machinery,  // greebles: boxes, conduits and bolts in relief
    Windows,    // a dark strip of lit and unlit windows (they glow)
    Edge,       // bare, scratched metal for bevels and rims
    Glow,       // a lamp strip: emissive core in a dark housing
    Grating,    // a walkway grid over darkness
    Markings,   // painted plate with stencilled numbers
    Glass,      // dark canopy glass with a glowing rim
    Engine,     // an exhaust: hot, emissive throughout
    Beacon,     // a broad lamp panel, emissive throughout: accents that must read from far away
};

// One band as the painter and the mesh kit both see it.
struct Band {
    BandKind kind = BandKind::Plates;
    int pixels = 64;       // height in the texture
    float across = 8.0f;   // world units the band's height covers
    Rgb light;             // the emitted colour of glowing kinds; the paint of Markings
    int y0 = 0;            // first row, set by the layout
};

// A texture laid out as bands from the top, each kept apart from the next by a guard of a few
// rows so that filtering does not bleed one into another.
class TrimSheet {
public:
    static constexpr int kGuard = 4;  // rows between bands

    TrimSheet(int width, std::vector<Band> bands);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(bands_.size()); }
    const Band& At(int index) const { return bands_[static_cast<size_t>(index)]; }

    // World units that one repeat of the texture covers along u in the band, for square texels.
    float UnitsPerRepeat(int band) const;
    // Texture v of the position t (0 top .. 1 bottom) inside the band, kept off its first and
    // last rows.
    float V(int band, float t) const;

private:
    int width_;
    int height_;
    std::vector<Band> bands_;
};
