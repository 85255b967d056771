#pragma once

#include <string>

#include "tools/content/interface/Mask.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// How a line of text is set: its size, the extra space between letters and a horizontal stretch
// of every glyph (1 keeps the font's proportions).
struct TextStyle {
    float pixelHeight = 32.0f;  // the font's em size, in pixels
    float tracking = 0.0f;      // pixels added after every letter
    float stretch = 1.0f;
};

// One font file rasterised through FreeType; text is single-byte (ASCII or Latin-1).
class FontFace {
public:
    FontFace();
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // False when the file is missing or is no font FreeType can read.
    bool Open(const std::string& path);
    bool IsOpen() const { return face_ != nullptr; }

    // The advance of the whole line in pixels.
    float Measure(const std::string& text, const TextStyle& style) const;
    // Adds the glyphs' coverage into the mask, the line's baseline starting at (x, baseline).
    void Draw(Mask& mask, const std::string& text, const TextStyle& style, float x, float baseline) const;
    // The same, the line centred on centreX.
    void DrawCentred(Mask& mask, const std::string& text, const TextStyle& style, float centreX, float baseline) const;

private:
    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};
