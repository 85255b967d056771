#include "tools/content/interface/Canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/content/interface/PaintMath.h"

namespace {

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::floor(paint::Clamp01(v) * 255.0f + 0.5f)); }

// Sums of premultiplied colour and of coverage over one pixel of a level of a picture pyramid.
struct CoverageSum {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 0.0;
};

struct PyramidLevel {
    int width = 0;
    int height = 0;
    std::vector<CoverageSum> sums;
    std::vector<Rgba> colours;  // the average covered colour, or the coarser level's where none is

    const CoverageSum& Sum(int x, int y) const
    {
        return sums[static_cast<size_t>(std::min(y, height - 1)) * width + std::min(x, width - 1)];
    }
};

PyramidLevel Halved(const PyramidLevel& fine)
{
    PyramidLevel coarse;
    coarse.width = (fine.width + 1) / 2;
    coarse.height = (fine.height + 1) / 2;
    coarse.sums.resize(static_cast<size_t>(coarse.width) * coarse.height);
    for (int y = 0; y < coarse.height; ++y) {
        for (int x = 0; x < coarse.width; ++x) {
            CoverageSum& out = coarse.sums[static_cast<size_t>(y) * coarse.width + x];
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const CoverageSum& in = fine.Sum(2 * x + dx, 2 * y + dy);
                    out.r += in.r;
                    out.g += in.g;
                    out.b += in.b;
                    out.a += in.a;
                }
            }
        }
    }
    return coarse;
}

// Each level's colours, from the coarsest down: where a pixel holds no coverage at all it takes
// the colour of the pixel above it in the pyramid.
void ResolveColours(std::vector<PyramidLevel>& levels)
{
    for (size_t index = levels.size(); index-- > 0;) {
        PyramidLevel& level = levels[index];
        level.colours.resize(level.sums.size());
        for (int y = 0; y < level.height; ++y) {
            for (int x = 0; x < level.width; ++x) {
                const size_t at = static_cast<size_t>(y) * level.width + x;
                const CoverageSum& sum = level.sums[at];
                if (sum.a > 1e-6) {
                    level.colours[at] = {static_cast<float>(sum.r / sum.a), static_cast<float>(sum.g / sum.a),
                                         static_cast<float>(sum.b / sum.a), 1.0f};
                } else if (index + 1 < levels.size()) {
                    const PyramidLevel& coarse = levels[index + 1];
                    level.colours[at] = coarse.colours[static_cast<size_t>(y / 2) * coarse.width + x / 2];
                }
            }
        }
    }
}

}  // namespace

Canvas::Canvas(int width, int height, const Rgba& background)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height),
              Rgba{background.r * background.a, background.g * background.a, background.b * background.a, background.a})
{
}

Rgba Canvas::At(int x, int y) const
{
    const Rgba& p = Pixel(x, y);
    if (p.a <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Fill(const Mask& coverage, const Rgba& colour)
{
    Fill(coverage, [&colour](int, int) { return colour; });
}

void Canvas::Fill(const Mask& coverage, const Paint& paint)
{
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float cover = coverage.At(x, y);
            if (cover <= 0.0f) continue;
            const Rgba colour = paint(x, y);
            const float alpha = paint::Clamp01(cover * colour.a);
            Rgba& p = Pixel(x, y);
            p.r = colour.r * alpha + p.r * (1.0f - alpha);
            p.g = colour.g * alpha + p.g * (1.0f - alpha);
            p.b = colour.b * alpha + p.b * (1.0f - alpha);
            p.a = alpha + p.a * (1.0f - alpha);
        }
    }
}

void Canvas::AddLight(const Mask& amount, const Rgba& colour)
{
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float light = amount.At(x, y);
            if (light <= 0.0f) continue;
            Rgba& p = Pixel(x, y);
            p.r += colour.r * light;
            p.g += colour.g * light;
            p.b += colour.b * light;
            p.a = std::min(1.0f, p.a + colour.a * light);
        }
    }
}

void Canvas::Erase(const Mask& amount)
{
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float keep = std::clamp(1.0f - amount.At(x, y), 0.0f, 1.0f);
            Rgba& p = Pixel(x, y);
            p.r *= keep;
            p.g *= keep;
            p.b *= keep;
            p.a *= keep;
        }
    }
}

void Canvas::Shade(const Mask& shade)
{
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const float factor = std::max(0.0f, 1.0f + shade.At(x, y));
            Rgba& p = Pixel(x, y);
            p.r *= factor;
            p.g *= factor;
            p.b *= factor;
        }
    }
}

void Canvas::Composite(const Canvas& layer, int left, int top)
{
    for (int y = 0; y < layer.height_; ++y) {
        for (int x = 0; x < layer.width_; ++x) {
            const int tx = left + x;
            const int ty = top + y;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
            const Rgba& in = layer.Pixel(x, y);
            Rgba& p = Pixel(tx, ty);
            const float keep = 1.0f - paint::Clamp01(in.a);
            p = {in.r + p.r * keep, in.g + p.g * keep, in.b + p.b * keep, std::min(1.0f, in.a + p.a * keep)};
        }
    }
}

Picture Canvas::ToPicture() const
{
    Picture picture;
    if (!AllocatePicture(picture, static_cast<uint32_t>(width_), static_cast<uint32_t>(height_))) return picture;
    std::vector<PyramidLevel> levels(1);
    levels[0].width = width_;
    levels[0].height = height_;
    for (const Rgba& p : pixels_) {
        const float a = paint::Clamp01(p.a);
        levels[0].sums.push_back({p.r, p.g, p.b, a});
    }
    while (levels.back().width > 1 || levels.back().height > 1) levels.push_back(Halved(levels.back()));
    ResolveColours(levels);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const size_t at = static_cast<size_t>(y) * width_ + x;
            const uint8_t alpha = ToByte(levels[0].sums[at].a);
            const Rgba colour = alpha == 0 && levels.size() > 1
                                    ? levels[1].colours[static_cast<size_t>(y / 2) * levels[1].width + x / 2]
                                    : levels[0].colours[at];
            uint8_t* out = &picture.rgba[at * 4];
            out[0] = ToByte(colour.r);
            out[1] = ToByte(colour.g);
            out[2] = ToByte(colour.b);
            out[3] = alpha;
        }
    }
    return picture;
}
