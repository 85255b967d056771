#include "tools/content/interface/Plating.h"

#include <vector>

#include "tools/content/interface/Noise.h"
#include "tools/content/interface/PaintMath.h"

namespace plating {

namespace {

constexpr float kLightX = -0.6f;  // light falls from the top left (y grows downwards)
constexpr float kLightY = -0.8f;
constexpr float kBevelLight = 0.9f;      // relief strength of a plate's bevel
constexpr float kWellShadow = 1.2f;      // relief strength of a well's lip
constexpr Rgba kRimColour{0.02f, 0.025f, 0.03f, 0.85f};
constexpr Rgba kGrooveColour{0.03f, 0.035f, 0.04f, 0.9f};
constexpr Rgba kLipColour{0.75f, 0.8f, 0.85f, 0.22f};
constexpr Rgba kBoltMetal{0.46f, 0.49f, 0.53f, 1.0f};

Rgba GunmetalAt(const PlateStyle& style, int x, int y, int height)
{
    const float s = style.noiseScale;
    const float brushed = noise::Value(x / (60.0f * s), y / (1.3f * s), style.seed);
    const float mottle = noise::Fractal(x / (28.0f * s), y / (28.0f * s), 4, style.seed + 7u);
    const float fromTop = 1.0f - static_cast<float>(y) / static_cast<float>(height);
    const float brightness = 0.82f + 0.3f * fromTop + style.grain * ((brushed - 0.5f) + 1.2f * (mottle - 0.5f));
    return Scaled(style.metal, brightness);
}

}  // namespace

void Plate(Canvas& canvas, const Sdf& shape, const PlateStyle& style)
{
    const int width = canvas.Width();
    const int height = canvas.Height();
    const Mask cover = Coverage(width, height, shape);
    canvas.Fill(cover, [&](int x, int y) { return GunmetalAt(style, x, y, height); });

    const Mask bevel = Bevel(width, height, shape, style.bevel);
    canvas.Shade(bevel.Relief(kLightX, kLightY, kBevelLight * style.bevel).Times(cover));

    // Chips and scuffs collect on the outer edge, where the bevel is still rising.
    Mask wear(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float edge = 1.0f - bevel.At(x, y);
            const float chip = paint::Smoothstep(0.55f, 0.8f, noise::Fractal(x / (9.0f * style.noiseScale), y / (9.0f * style.noiseScale), 3, style.seed + 13u));
            wear.Set(x, y, style.wear * edge * chip * cover.At(x, y));
        }
    }
    canvas.Shade(wear);
    canvas.Fill(Coverage(width, height, shape::Outline(shape, 0.7f)).Times(cover), kRimColour);
}

void Seam(Canvas& canvas, Point a, Point b, float width)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Point lipA{a.x + 1.0f, a.y + 1.0f};
    const Point lipB{b.x + 1.0f, b.y + 1.0f};
    canvas.Fill(Coverage(w, h, shape::Segment(lipA, lipB, 0.5f * width)), kLipColour);
    canvas.Fill(Coverage(w, h, shape::Segment(a, b, 0.5f * width)), kGrooveColour);
}

void Bolt(Canvas& canvas, Point centre, float radius)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Sdf head = shape::Circle(centre, radius);
    canvas.Fill(Coverage(w, h, shape::Circle({centre.x + 0.35f * radius, centre.y + 0.45f * radius}, radius)).Blurred(0.4f * radius),
                Rgba{0.0f, 0.0f, 0.0f, 0.55f});
    const Mask cover = Coverage(w, h, head);
    canvas.Fill(cover, kBoltMetal);
    canvas.Shade(Bevel(w, h, head, 0.7f * radius).Relief(kLightX, kLightY, 1.1f * radius).Times(cover));
    std::vector<Point> socket;
    for (int corner = 0; corner < 6; ++corner) {
        const double angle = paint::kPi / 6.0 + corner * paint::kPi / 3.0;
        socket.push_back({centre.x + 0.38f * radius * static_cast<float>(paint::Cos(angle)),
                          centre.y + 0.38f * radius * static_cast<float>(paint::Sin(angle))});
    }
    canvas.Fill(Coverage(w, h, shape::Polygon(socket)), Rgba{0.05f, 0.05f, 0.06f, 0.9f});
}

void Well(Canvas& canvas, const Sdf& shape, const Rgba& floor, float depth)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Mask cover = Coverage(w, h, shape);
    canvas.Fill(cover, floor);
    const Mask bevel = Bevel(w, h, shape, depth);
    // A well is a plate turned inside out: its lip faces away from the light on the upper left.
    canvas.Shade(bevel.Relief(-kLightX, -kLightY, kWellShadow * depth).Times(cover));
    Mask occlusion(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) occlusion.Set(x, y, -0.45f * (1.0f - bevel.At(x, y)) * cover.At(x, y));
    }
    canvas.Shade(occlusion);
}

void GlowStrip(Canvas& canvas, const Sdf& shape, const Rgba& colour, float haloSigma, float haloStrength)
{
    const Mask core = Coverage(canvas.Width(), canvas.Height(), shape);
    canvas.AddLight(core.Blurred(haloSigma).Scaled(haloStrength), colour);
    canvas.Fill(core, Lerp(colour, Rgba{1.0f, 1.0f, 1.0f, 1.0f}, 0.3f));
}

}  // namespace plating
