#include "tools/content/interface/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFixedOne = 64.0f;        // FreeType's 26.6 fixed point
constexpr float kMatrixOne = 65536.0f;    // FreeType's 16.16 fixed point

// Sets size and stretch on the face and the glyph's origin at the fractional part of x.
void Prepare(FT_Face face, const TextStyle& style, float x)
{
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1.0f, std::floor(style.pixelHeight + 0.5f))));
    FT_Matrix matrix{static_cast<FT_Fixed>(style.stretch * kMatrixOne), 0, 0, static_cast<FT_Fixed>(kMatrixOne)};
    FT_Vector delta{static_cast<FT_Pos>(std::floor((x - std::floor(x)) * kFixedOne + 0.5f)), 0};
    FT_Set_Transform(face, &matrix, &delta);
}

}  // namespace

FontFace::FontFace() = default;

FontFace::~FontFace()
{
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
}

bool FontFace::Open(const std::string& path)
{
    if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return false;
    }
    if (face_ != nullptr) FT_Done_Face(face_);
    face_ = nullptr;
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
        face_ = nullptr;
        return false;
    }
    return true;
}

float FontFace::Measure(const std::string& text, const TextStyle& style) const
{
    if (face_ == nullptr) return 0.0f;
    float width = 0.0f;
    for (unsigned char c : text) {
        Prepare(face_, style, 0.0f);
        if (FT_Load_Char(face_, c, FT_LOAD_NO_HINTING) != 0) continue;
        width += static_cast<float>(face_->glyph->advance.x) / kFixedOne + style.tracking;
    }
    return text.empty() ? 0.0f : width - style.tracking;
}

void FontFace::Draw(Mask& mask, const std::string& text, const TextStyle& style, float x, float baseline) const
{
    if (face_ == nullptr) return;
    const int row0 = static_cast<int>(std::floor(baseline + 0.5f));
    for (unsigned char c : text) {
        Prepare(face_, style, x);
        if (FT_Load_Char(face_, c, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = face_->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(std::floor(x)) + glyph->bitmap_left;
        const int top = row0 - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const float value = bitmap.buffer[static_cast<int>(row) * bitmap.pitch + static_cast<int>(column)] / 255.0f;
                const int px = left + static_cast<int>(column);
                const int py = top + static_cast<int>(row);
                mask.Set(px, py, std::min(1.0f, mask.At(px, py) + value));
            }
        }
        x += static_cast<float>(glyph->advance.x) / kFixedOne + style.tracking;
    }
}

void FontFace::DrawCentred(Mask& mask, const std::string& text, const TextStyle& style, float centreX, float baseline) const
{
    Draw(mask, text, style, centreX - 0.5f * Measure(text, style), baseline);
}
