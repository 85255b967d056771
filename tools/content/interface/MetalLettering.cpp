#include "tools/content/interface/MetalLettering.h"

#include <algorithm>

#include "tools/content/interface/Noise.h"
#include "tools/content/interface/PaintMath.h"

namespace {

constexpr uint32_t kGrainSeed = 31;
constexpr Rgba kOutline{0.01f, 0.015f, 0.02f, 0.95f};

struct GradientStop {
    float at;  // 0 at the top of the letters, 1 at their foot
    Rgba colour;
};
// Sky above, a dark horizon just above the middle, ground light below: a chrome reflection.
constexpr GradientStop kChrome[] = {
    {0.0f, {0.95f, 0.98f, 1.0f, 1.0f}},  {0.42f, {0.58f, 0.66f, 0.74f, 1.0f}}, {0.47f, {0.16f, 0.2f, 0.26f, 1.0f}},
    {0.56f, {0.3f, 0.38f, 0.44f, 1.0f}}, {1.0f, {0.74f, 0.84f, 0.9f, 1.0f}},
};

Rgba ChromeAt(float t)
{
    for (size_t i = 1; i < std::size(kChrome); ++i) {
        if (t <= kChrome[i].at) {
            const float span = kChrome[i].at - kChrome[i - 1].at;
            return Lerp(kChrome[i - 1].colour, kChrome[i].colour, paint::Clamp01((t - kChrome[i - 1].at) / span));
        }
    }
    return kChrome[std::size(kChrome) - 1].colour;
}

}  // namespace

void PaintMetalLettering(Canvas& canvas, const Mask& letters, const Rgba& accent)
{
    int box[4];
    if (!letters.Bounds(0.5f, box)) return;
    const float top = static_cast<float>(box[1]);
    const float height = static_cast<float>(std::max(1, box[3] - box[1]));
    const float scale = height / 100.0f;  // effects grow with the lettering

    const Mask outline = letters.Blurred(2.0f * scale).Scaled(4.0f, true).Max(letters);
    canvas.AddLight(outline.Blurred(12.0f * scale).Scaled(0.85f), WithAlpha(accent, 0.75f));
    canvas.Fill(outline.Shifted(static_cast<int>(2.0f * scale), static_cast<int>(4.0f * scale)).Blurred(2.0f * scale),
                Rgba{0.0f, 0.0f, 0.0f, 0.6f});
    canvas.Fill(outline, kOutline);

    canvas.Fill(letters, [&](int x, int y) {
        const float t = (static_cast<float>(y) - top) / height;
        const float grain = noise::Value(x / (40.0f * scale), y / (0.8f * scale), kGrainSeed) - 0.5f;
        return Scaled(ChromeAt(t), 1.0f + 0.12f * grain);
    });
    const Mask height2 = letters.Blurred(2.5f * scale);
    canvas.Shade(height2.Relief(-0.5f, -0.85f, 5.0f * scale).Times(letters));

    // A thin glowing line along the horizon, as if lit from inside.
    Mask line(letters.Width(), letters.Height());
    const float lineY = top + 0.5f * height;
    for (int y = 0; y < letters.Height(); ++y) {
        const float d = (static_cast<float>(y) - lineY) / (1.2f * scale);
        const float strength = d * d < 1.0f ? 1.0f - d * d : 0.0f;
        for (int x = 0; x < letters.Width(); ++x) line.Set(x, y, strength * letters.At(x, y));
    }
    canvas.AddLight(line.Blurred(1.5f * scale).Scaled(1.6f), WithAlpha(accent, 0.0f));
    canvas.AddLight(line, Rgba{0.8f, 1.0f, 1.0f, 0.0f});
}
