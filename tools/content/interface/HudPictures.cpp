#include "tools/content/interface/HudPictures.h"

#include <vector>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/Canvas.h"
#include "tools/content/interface/Emblem.h"
#include "tools/content/interface/PaintMath.h"
#include "tools/content/interface/InterfaceFonts.h"
#include "tools/content/interface/PictureFiles.h"
#include "tools/content/interface/Plating.h"

// The HUD frames are stretched over fixed screen rectangles and the game lays its segments over
// them at fixed places, so the sizes and slots below follow from where the game draws them on a
// 4:3 screen: the player's frame over x 0–0.25, y 0–0.125 (aspect 8:3) with five segments from
// x 0.11 in steps of 0.024; the boss's over x 0.25–1.0 (aspect 8:1) with fifteen segments from
// x 0.36 in steps of 0.0413333; every segment from y 0.025 to 0.08.
namespace {

// The player's frame.
constexpr int kPlayerWidth = 512;  // pixels; 8:3 like the 0.25 × 0.125 of a 4:3 screen it covers
constexpr int kPlayerHeight = 192;
constexpr int kPlayerSlots = 5;
constexpr float kPlayerFirstSlot = 0.44f;  // (0.11 − 0) / 0.25, of the frame's width
constexpr float kPlayerSlotStep = 0.096f;  // 0.024 / 0.25
constexpr uint32_t kPlayerSeed = 21;

// The boss's frame.
constexpr int kBossWidth = 1024;  // pixels; 8:1 like the 0.75 × 0.125 it covers
constexpr int kBossHeight = 128;
constexpr int kBossSlots = 15;
constexpr float kBossFirstSlot = (0.36f - 0.25f) / 0.75f;
constexpr float kBossSlotStep = 0.0413333f / 0.75f;
constexpr uint32_t kBossSeed = 22;

// Both frames: every segment spans y 0.025–0.08 of the screen, 0.2–0.64 of a frame 0.125 high.
constexpr float kSlotTop = 0.2f;
constexpr float kSlotBottom = 0.64f;
constexpr float kChannelMargin = 7.0f;  // pixels of well floor around the row of slots

// The segments: each picture is one cell; the transparent margin leaves a dark gap between cells.
constexpr int kPlayerSegmentWidth = 64;  // 0.024 × 0.055 of a 4:3 screen
constexpr int kPlayerSegmentHeight = 110;
constexpr int kBossSegmentSide = 64;  // 0.0413333 × 0.055 of a 4:3 screen: square
constexpr float kSegmentMargin = 0.09f;  // of the cell's width and height, on every side

constexpr Rgba kGunmetal{0.30f, 0.33f, 0.37f, 1.0f};
constexpr Rgba kSlotFloor{0.025f, 0.04f, 0.05f, 1.0f};
constexpr Rgba kPlayerGlow{0.1f, 0.85f, 0.95f, 1.0f};  // cyan
constexpr Rgba kBossGlow{1.0f, 0.1f, 0.45f, 1.0f};     // hostile magenta-red

struct SegmentColours {
    Rgba low;
    Rgba high;
};
constexpr SegmentColours kPlayerSegment{{0.0f, 0.55f, 0.62f, 1.0f}, {0.55f, 1.0f, 1.0f, 1.0f}};
constexpr SegmentColours kBossSegment{{0.62f, 0.0f, 0.18f, 1.0f}, {1.0f, 0.55f, 0.75f, 1.0f}};

struct SlotRow {
    int count;
    float first;  // left edge of the first slot, as a fraction of the frame's width
    float step;   // width of one slot, and distance between slots
};

// The row of slots: a sunken channel, one dark cell per slot with a thin lit rim showing what a
// full bar would hold, and ridges between the cells.
void PaintSlots(Canvas& canvas, const SlotRow& row, const Rgba& accent)
{
    const float w = static_cast<float>(canvas.Width());
    const float h = static_cast<float>(canvas.Height());
    const float top = kSlotTop * h;
    const float bottom = kSlotBottom * h;
    const float left = row.first * w;
    const float right = (row.first + row.step * row.count) * w;
    const float middleX = 0.5f * (left + right);
    const float middleY = 0.5f * (top + bottom);
    plating::Well(canvas,
                  shape::Box({middleX, middleY}, 0.5f * (right - left) + kChannelMargin, 0.5f * (bottom - top) + kChannelMargin, 4.0f),
                  kSlotFloor, 5.0f);
    for (int i = 0; i < row.count; ++i) {
        const float x0 = (row.first + row.step * i) * w;
        const float x1 = x0 + row.step * w;
        const Sdf cell = shape::Box({0.5f * (x0 + x1), middleY}, 0.5f * (x1 - x0) - 2.0f, 0.5f * (bottom - top) - 2.0f, 2.0f);
        canvas.Fill(Coverage(canvas.Width(), canvas.Height(), shape::Outline(cell, 0.6f)), WithAlpha(accent, 0.35f));
    }
    for (int i = 1; i < row.count; ++i) {
        const float x = (row.first + row.step * i) * w;
        plating::Seam(canvas, {x, top + 1.0f}, {x, bottom - 1.0f}, 1.5f);
    }
}

void PaintPlayerEmblem(Canvas& canvas, const InterfaceFonts& fonts)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Point centre{66.0f, 86.0f};
    plating::Well(canvas, shape::Circle(centre, 46.0f), kSlotFloor, 7.0f);
    PaintGlowingShip(canvas, {centre.x, centre.y + 1.0f}, 68.0f, kPlayerGlow);

    Mask label(w, h);
    fonts.sansBold.DrawCentred(label, "HULL", {27.0f, 2.0f, 1.0f}, 157.0f, 96.0f);
    canvas.Fill(label.Shifted(1, 2).Blurred(1.0f), Rgba{0.0f, 0.0f, 0.0f, 0.7f});
    canvas.AddLight(label.Blurred(3.0f).Scaled(0.6f), kPlayerGlow);
    canvas.Fill(label, Rgba{0.78f, 0.98f, 1.0f, 1.0f});
    for (int i = 0; i < 3; ++i) {
        const Sdf lamp = shape::Circle({135.0f + 22.0f * i, 124.0f}, 4.5f);
        plating::GlowStrip(canvas, lamp, i == 0 ? kPlayerGlow : Scaled(kPlayerGlow, 0.45f), 4.0f, 0.8f);
    }
}

Canvas PlayerFrame(const InterfaceFonts& fonts)
{
    Canvas canvas(kPlayerWidth, kPlayerHeight);
    const float cuts[4] = {12.0f, 12.0f, 34.0f, 12.0f};
    plating::PlateStyle style;
    style.metal = kGunmetal;
    style.seed = kPlayerSeed;
    plating::Plate(canvas, shape::ChamferedBox(3.0f, 5.0f, 505.0f, 181.0f, cuts), style);
    plating::Seam(canvas, {206.0f, 8.0f}, {206.0f, 178.0f}, 2.0f);
    plating::Seam(canvas, {206.0f, 154.0f}, {482.0f, 154.0f}, 2.0f);
    PaintSlots(canvas, {kPlayerSlots, kPlayerFirstSlot, kPlayerSlotStep}, kPlayerGlow);
    plating::GlowStrip(canvas, shape::Box({348.0f, 141.0f}, 126.0f, 2.0f, 2.0f), kPlayerGlow, 4.0f, 1.1f);
    PaintPlayerEmblem(canvas, fonts);
    for (Point bolt : {Point{17.0f, 20.0f}, Point{17.0f, 166.0f}, Point{190.0f, 20.0f}, Point{190.0f, 166.0f},
                       Point{491.0f, 20.0f}, Point{470.0f, 168.0f}}) {
        plating::Bolt(canvas, bolt, 6.0f);
    }
    return canvas;
}

// The boss's mark: a slit-pupilled eye under a scowling brow of two blades, glowing magenta in a
// hexagonal well. Sizes in pixels of the frame.
void PaintBossEmblem(Canvas& canvas)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    const Point centre{78.0f, 62.0f};
    std::vector<Point> hexagon;
    for (int corner = 0; corner < 6; ++corner) {
        const double angle = corner * paint::kPi / 3.0;
        hexagon.push_back({centre.x + 44.0f * static_cast<float>(paint::Cos(angle)),
                           centre.y + 44.0f * static_cast<float>(paint::Sin(angle))});
    }
    plating::Well(canvas, shape::Polygon(hexagon), kSlotFloor, 6.0f);
    // The eye: a lens where two circles overlap, 60 wide and 26 high, a little below the middle.
    const Point eye{centre.x, centre.y + 6.0f};
    const Sdf lens = shape::Intersection(shape::Circle({eye.x, eye.y - 19.8f}, 32.8f), shape::Circle({eye.x, eye.y + 19.8f}, 32.8f));
    const Sdf iris = shape::Circle(eye, 10.0f);
    const Sdf pupil = shape::Intersection(shape::Circle({eye.x - 16.0f, eye.y}, 18.0f), shape::Circle({eye.x + 16.0f, eye.y}, 18.0f));
    // The brow: two heavy blades meeting low over the eye's middle, their outer ends raised.
    Sdf brow = shape::Polygon({{centre.x - 1.5f, centre.y - 4.0f}, {centre.x - 30.0f, centre.y - 15.0f}, {centre.x - 34.0f, centre.y - 25.0f},
                               {centre.x - 3.0f, centre.y - 11.0f}});
    brow = shape::Union(brow, shape::Polygon({{centre.x + 1.5f, centre.y - 4.0f}, {centre.x + 30.0f, centre.y - 15.0f},
                                              {centre.x + 34.0f, centre.y - 25.0f}, {centre.x + 3.0f, centre.y - 11.0f}}));
    const Sdf mark = shape::Union(shape::Union(shape::Outline(lens, 2.2f), shape::Difference(iris, pupil)), brow);
    const Mask markMask = Coverage(w, h, mark);
    canvas.AddLight(markMask.Blurred(5.0f).Scaled(0.9f), kBossGlow);
    canvas.Fill(markMask, Lerp(kBossGlow, Rgba{1.0f, 1.0f, 1.0f, 1.0f}, 0.3f));
}

Canvas BossFrame()
{
    Canvas canvas(kBossWidth, kBossHeight);
    const float cuts[4] = {14.0f, 14.0f, 14.0f, 34.0f};
    plating::PlateStyle style;
    style.metal = Lerp(kGunmetal, Rgba{0.36f, 0.3f, 0.33f, 1.0f}, 0.5f);  // a warmer, hostile steel
    style.seed = kBossSeed;
    plating::Plate(canvas, shape::ChamferedBox(3.0f, 4.0f, 1021.0f, 124.0f, cuts), style);
    plating::Seam(canvas, {134.0f, 7.0f}, {134.0f, 121.0f}, 2.0f);
    PaintSlots(canvas, {kBossSlots, kBossFirstSlot, kBossSlotStep}, kBossGlow);
    plating::GlowStrip(canvas, shape::Box({573.5f, 103.0f}, 423.0f, 2.0f, 2.0f), kBossGlow, 4.0f, 1.1f);
    PaintBossEmblem(canvas);
    for (Point bolt : {Point{16.0f, 17.0f}, Point{16.0f, 111.0f}, Point{120.0f, 17.0f}, Point{120.0f, 111.0f},
                       Point{1008.0f, 17.0f}, Point{1008.0f, 111.0f}}) {
        plating::Bolt(canvas, bolt, 5.5f);
    }
    return canvas;
}

// One lit cell: a rounded bar brighter at the top, a glassy highlight band and a darker rim.
Canvas Segment(int width, int height, const SegmentColours& colours)
{
    Canvas canvas(width, height);
    const float marginX = kSegmentMargin * width;
    const float marginY = kSegmentMargin * height;
    const float halfW = 0.5f * width - marginX;
    const float halfH = 0.5f * height - marginY;
    const Sdf cell = shape::Box({0.5f * width, 0.5f * height}, halfW, halfH, 0.12f * width);
    const Mask cover = Coverage(width, height, cell);
    canvas.Fill(cover, [&](int, int y) {
        const float t = (y - marginY) / (2.0f * halfH);
        return Lerp(colours.high, colours.low, paint::Clamp01(t));
    });
    const Mask band = Coverage(width, height, shape::Box({0.5f * width, marginY + 0.22f * halfH}, halfW - 0.1f * width,
                                                         0.12f * halfH, 0.06f * width))
                          .Blurred(1.5f);
    canvas.Fill(band, Rgba{1.0f, 1.0f, 1.0f, 0.55f});
    canvas.Fill(Coverage(width, height, shape::Outline(cell, 1.2f)).Times(cover), WithAlpha(Scaled(colours.low, 0.5f), 0.8f));
    return canvas;
}

}  // namespace

void MakeHudPictures(const InterfaceFonts& fonts, AssetSet& assets)
{
    picture_files::AddTga(assets, "hud_player.tga", PlayerFrame(fonts));
    picture_files::AddTga(assets, "barra_player.tga", Segment(kPlayerSegmentWidth, kPlayerSegmentHeight, kPlayerSegment));
    picture_files::AddTga(assets, "hud_boss.tga", BossFrame());
    picture_files::AddTga(assets, "barra_boss.tga", Segment(kBossSegmentSide, kBossSegmentSide, kBossSegment));
}
