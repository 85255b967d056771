#include "tools/content/interface/EffectPictures.h"

#include <algorithm>
#include <string>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/Noise.h"
#include "tools/content/interface/PaintMath.h"
#include "tools/content/interface/PictureFiles.h"

// The game draws these as camera-facing squares: the shot and the ring added onto the frame (so
// black shows nothing), the fireball alpha-blended, one frame every 1/15 s for 8 frames. Every
// picture fades to nothing well inside its square, so no edge of the square shows.
namespace {

// The shot: a white-hot core in a warm halo.
constexpr int kShotSide = 64;  // pixels
constexpr float kShotCore = 0.13f;  // of the half side: Gaussian radius of the white core
constexpr float kShotHalo = 0.36f;  // Gaussian radius of the halo
constexpr Rgba kShotHaloColour{1.0f, 0.62f, 0.2f, 1.0f};

// The shock ring: thin, soft, a little brighter on its inner edge.
constexpr int kRingSide = 128;  // pixels
constexpr float kRingRadius = 0.8f;  // of the half side
constexpr float kRingWidth = 0.045f;  // Gaussian half width of the band
constexpr Rgba kRingColour{1.0f, 0.88f, 0.7f, 1.0f};

// The fireball.
constexpr int kFrameCount = 8;
constexpr int kFrameSide = 256;  // pixels: the frame spans 30 or 60 units, up to a third of the screen
constexpr float kStartRadius = 0.48f;  // of the half side, in frame 0
constexpr float kEndRadius = 0.84f;   // in frame 7
constexpr float kEdgeWindow = 0.9f;   // beyond this (of the half side) everything fades out
constexpr float kNoiseFeatures = 2.6f;  // noise cells from the ball's centre to its rim
constexpr float kWarp = 1.6f;           // how far the turbulence curls
constexpr float kRagged = 0.6f;         // how far the turbulence pushes the rim in and out
constexpr float kBreakUp = 0.35f;       // how much of the smoke the last frame has lost
constexpr float kSmokeThinning = 0.3f;   // alpha lost by the last frame's smoke
constexpr float kBoil = 0.8f;           // how far the noise drifts over the eight frames
constexpr float kFlashHalo = 0.75f;      // alpha of the flash's halo in the first frame
constexpr Rgba kFlashHaloColour{1.0f, 0.72f, 0.3f, 1.0f};
constexpr uint32_t kFireSeed = 5;

struct FireStop {
    float heat;
    Rgba colour;
};
// From the white-yellow flash through orange flame and dull red to dark smoke.
constexpr FireStop kFireRamp[] = {
    {-0.2f, {0.34f, 0.32f, 0.3f, 1.0f}}, {0.1f, {0.22f, 0.18f, 0.15f, 1.0f}}, {0.28f, {0.55f, 0.14f, 0.04f, 1.0f}},
    {0.45f, {1.0f, 0.42f, 0.06f, 1.0f}}, {0.65f, {1.0f, 0.78f, 0.28f, 1.0f}}, {0.85f, {1.0f, 0.94f, 0.62f, 1.0f}}, {1.2f, {1.0f, 1.0f, 0.93f, 1.0f}},
};

Rgba FireColour(float heat)
{
    if (heat <= kFireRamp[0].heat) return kFireRamp[0].colour;
    for (size_t i = 1; i < std::size(kFireRamp); ++i) {
        if (heat <= kFireRamp[i].heat) {
            const float t = (heat - kFireRamp[i - 1].heat) / (kFireRamp[i].heat - kFireRamp[i - 1].heat);
            return Lerp(kFireRamp[i - 1].colour, kFireRamp[i].colour, t);
        }
    }
    return kFireRamp[std::size(kFireRamp) - 1].colour;
}

float Gaussian(float d, float radius) { return static_cast<float>(paint::Exp(-(d * d) / (radius * radius))); }

// Paints a round picture on black from a function of the distance from the centre (0 there, 1 at
// the middle of each side) that gives the light added there.
template <typename Light>
Canvas Radial(int side, Light light)
{
    Canvas canvas(side, side, Rgba{0.0f, 0.0f, 0.0f, 1.0f});
    Mask full(side, side, 1.0f);
    canvas.Fill(full, [&](int x, int y) {
        const float dx = (x + 0.5f) / (0.5f * side) - 1.0f;
        const float dy = (y + 0.5f) / (0.5f * side) - 1.0f;
        const float r = paint::Length(dx, dy);
        Rgba colour = light(r);
        colour.a = 1.0f;
        return colour;
    });
    return canvas;
}

Canvas Shot()
{
    return Radial(kShotSide, [](float r) {
        const float window = paint::Smoothstep(0.95f, 0.75f, r);
        const float core = 1.4f * Gaussian(r, kShotCore) * window;
        const float halo = 0.95f * Gaussian(r, kShotHalo) * window;
        return Rgba{core + halo * kShotHaloColour.r, core + halo * kShotHaloColour.g, core + halo * kShotHaloColour.b, 1.0f};
    });
}

Canvas ShockRing()
{
    return Radial(kRingSide, [](float r) {
        const float band = Gaussian(r - kRingRadius, kRingWidth);
        const float inner = 0.35f * Gaussian(r - (kRingRadius - 0.07f), 0.12f) * paint::Smoothstep(0.3f, kRingRadius, r);
        const float window = paint::Smoothstep(0.98f, 0.9f, r);
        const float light = (band + inner) * window;
        return Scaled(kRingColour, light);
    });
}

// The fireball's turbulence at a point of the ball's own coordinates (1 at its rim): fractal
// noise looked up through a second noise, which curls its features into billows and tongues.
float Turbulence(float x, float y, float drift)
{
    const float warpX = noise::Fractal(x + 3.1f, y + 7.7f - drift, 3, kFireSeed + 2u) - 0.5f;
    const float warpY = noise::Fractal(x + 11.3f, y + 1.9f - drift, 3, kFireSeed + 3u) - 0.5f;
    return noise::Fractal(x + kWarp * warpX + 10.0f, y + kWarp * warpY + 10.0f - drift, 6, kFireSeed);
}

// One frame of the fireball at time t (0 for the first frame, 1 for the last): the ball grows,
// cools from the outside in and thins to smoke, its noise growing with it so that the frames
// read as one motion.
Canvas FireballFrame(float t)
{
    Canvas canvas(kFrameSide, kFrameSide);
    const float radius = kStartRadius + (kEndRadius - kStartRadius) * (1.0f - (1.0f - t) * (1.0f - t));
    const float flash = paint::Clamp01(1.0f - 3.5f * t);  // the first frames are mostly light
    const float drift = kBoil * t;
    const float step = 2.0f / (kFrameSide * radius) * kNoiseFeatures;  // one pixel in noise units
    Mask full(kFrameSide, kFrameSide, 1.0f);
    // The flash lights the air around the ball: a soft halo in the first frames.
    canvas.Fill(full, [&](int x, int y) {
        const float r = paint::Length((x + 0.5f) / (0.5f * kFrameSide) - 1.0f, (y + 0.5f) / (0.5f * kFrameSide) - 1.0f);
        const float halo = kFlashHalo * flash * Gaussian(r - 0.8f * radius, 0.22f) * paint::Smoothstep(1.0f, kEdgeWindow, r);
        return WithAlpha(kFlashHaloColour, halo);
    });
    canvas.Fill(full, [&](int x, int y) {
        const float dx = (x + 0.5f) / (0.5f * kFrameSide) - 1.0f;
        const float dy = (y + 0.5f) / (0.5f * kFrameSide) - 1.0f;
        const float r = paint::Length(dx, dy);
        const float nx = dx / radius * kNoiseFeatures;
        const float ny = dy / radius * kNoiseFeatures;
        const float n = Turbulence(nx, ny, drift);
        const float inside = 1.0f - r / radius;  // 1 at the centre, 0 at the ball's rim
        const float ragged = inside + kRagged * (n - 0.5f);
        // Smoke breaks up as it thins: the threshold rises over the last frames.
        const float threshold = kBreakUp * paint::Smoothstep(0.4f, 1.0f, t) * (1.0f - n);
        float alpha = paint::Smoothstep(threshold, threshold + 0.12f, ragged);
        alpha *= paint::Smoothstep(1.0f, kEdgeWindow, r);
        alpha *= 1.0f - kSmokeThinning * paint::Smoothstep(0.55f, 1.0f, t);
        const float heat = std::max(inside * (1.4f - 1.55f * t) + 0.8f * (n - 0.5f) + 0.6f * flash * inside, 0.7f * flash);
        // Billows: smoke and cooling flame are lit on the side that faces the top left; what
        // still burns gives its own light.
        const float slope = (n - Turbulence(nx + 3.0f * step, ny + 3.0f * step, drift)) / (3.0f * step);
        const float light = paint::Mix(paint::Clamp01(0.8f + 0.09f * slope), 1.0f, paint::Smoothstep(0.35f, 0.7f, heat));
        Rgba colour = Scaled(FireColour(heat), light);
        colour.a = paint::Clamp01(alpha);
        return colour;
    });
    return canvas;
}

}  // namespace

void MakeEffectPictures(AssetSet& assets)
{
    picture_files::AddJpeg(assets, "tiro.jpg", Shot());
    picture_files::AddJpeg(assets, "shock.jpg", ShockRing());
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const float t = static_cast<float>(frame) / static_cast<float>(kFrameCount - 1);
        picture_files::AddTga(assets, "exp" + std::to_string(frame) + ".tga", FireballFrame(t));
    }
}
