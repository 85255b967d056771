#include "tools/content/interface/Emblem.h"

#include <algorithm>
#include <vector>

#include "tools/content/interface/PaintMath.h"
#include "tools/content/interface/Plating.h"

namespace {

constexpr Rgba kAccent{0.1f, 0.85f, 0.95f, 1.0f};
constexpr Rgba kWellFloor{0.025f, 0.04f, 0.05f, 1.0f};
constexpr float kWellRadius = 0.74f;   // of the badge's radius
constexpr float kShipLength = 0.95f;   // of the badge's radius
constexpr float kBoltRadius = 0.055f;  // of the badge's radius
constexpr float kBoltInset = 0.84f;    // of the badge's radius: where the bolts sit
constexpr uint32_t kEmblemSeed = 41;

// The ship's corners for a length of 64 from nose to engines, (x, y) from the centre, nose up:
// a slim hull, swept wings and two engines either side of a notch.
constexpr Point kShipOutline[] = {{0.0f, -32.0f}, {4.0f, -16.0f}, {7.0f, -2.0f},  {24.0f, 14.0f}, {24.0f, 22.0f},
                                  {9.0f, 16.0f},  {6.0f, 28.0f},   {0.0f, 23.0f},  {-6.0f, 28.0f}, {-9.0f, 16.0f},
                                  {-24.0f, 22.0f}, {-24.0f, 14.0f}, {-7.0f, -2.0f}, {-4.0f, -16.0f}};
constexpr float kShipOutlineLength = 64.0f;

std::vector<Point> Hexagon(Point centre, float radius)
{
    std::vector<Point> corners;
    for (int corner = 0; corner < 6; ++corner) {
        const double angle = paint::kPi / 6.0 + corner * paint::kPi / 3.0;  // a corner at the top and at the bottom
        corners.push_back({centre.x + radius * static_cast<float>(paint::Cos(angle)),
                           centre.y + radius * static_cast<float>(paint::Sin(angle))});
    }
    return corners;
}

}  // namespace

Sdf ShipSilhouette(Point centre, float length)
{
    const float scale = length / kShipOutlineLength;
    std::vector<Point> corners;
    for (Point p : kShipOutline) corners.push_back({centre.x + p.x * scale, centre.y + p.y * scale});
    return shape::Polygon(corners);
}

void PaintGlowingShip(Canvas& canvas, Point centre, float length, const Rgba& accent)
{
    const Mask ship = Coverage(canvas.Width(), canvas.Height(), ShipSilhouette(centre, length));
    canvas.AddLight(ship.Blurred(std::max(1.0f, 0.08f * length)).Scaled(0.9f), accent);
    canvas.Fill(ship, Lerp(accent, Rgba{1.0f, 1.0f, 1.0f, 1.0f}, 0.35f));
}

void PaintEmblem(Canvas& canvas, Point centre, float radius)
{
    plating::PlateStyle style;
    style.bevel = std::max(1.5f, 0.08f * radius);
    style.noiseScale = std::max(0.3f, radius / 120.0f);
    style.seed = kEmblemSeed;
    plating::Plate(canvas, shape::Polygon(Hexagon(centre, radius)), style);
    const Sdf well = shape::Polygon(Hexagon(centre, kWellRadius * radius));
    plating::Well(canvas, well, kWellFloor, std::max(1.5f, 0.07f * radius));
    plating::GlowStrip(canvas, shape::Outline(well, std::max(0.6f, 0.012f * radius)), kAccent, std::max(1.0f, 0.04f * radius), 0.8f);
    for (Point corner : Hexagon(centre, kBoltInset * radius)) plating::Bolt(canvas, corner, std::max(1.2f, kBoltRadius * radius));
    PaintGlowingShip(canvas, {centre.x, centre.y + 0.02f * radius}, kShipLength * radius, kAccent);
}
