#include "tools/content/level/Props.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>

#include "tools/content/kit/Parts.h"
#include "tools/content/level/LevelMaterials.h"
#include "tools/content/level/LevelPlan.h"

namespace props {

namespace {

using level_plan::kFloorY;
using parts::kNone;
constexpr float kPi = 3.14159265358979f;
constexpr float kTerraceHeight = 0.35f;  // of the wall's height, from the ground
constexpr float kTerraceDepth = 24.0f;   // how far the terrace reaches in front of the wall
constexpr int kPipeSides = 8;

parts::Skin SkinOf(int top, int sides, V3 along = {0, 0, 1}) { return {top, sides, kNone, kEdge, along}; }

// The loft's z axis turned upwards, around a vertical axis at (x, z).
Frame Upright(float x, float z) { return {{x, 0, z}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}}; }

std::vector<V3> Circle(int sides, float radius) { return parts::EllipseOutline(sides, radius, radius); }

}  // namespace

void Ground(Scenery& scenery, float z0, float z1, float halfWidth, float y)
{
    for (float from = z0; from < z1;) {
        const float to = std::min(z1, from + 100.0f);
        MeshBuilder& ground = scenery.Ground((from + to) * 0.5f);
        ground.Quad({-halfWidth, y, from}, {halfWidth, y, from}, {halfWidth, y, to}, {-halfWidth, y, to}, {0, 1, 0}, {});
        from = to;
    }
}

void Wall(Scenery& scenery, float side, float z0, float z1, float inner, float outer, float top, int faceBand, int lampBand)
{
    // Two tiers: a low terrace by the track, the high wall behind it.
    const float terraceTop = kFloorY + (top - kFloorY) * kTerraceHeight;
    const float wallFace = inner + kTerraceDepth;
    scenery.Span(z0, z1, [&](MeshBuilder& mesh, float from, float to) {
        auto span = [&](float a, float b) { return std::pair{std::min(side * a, side * b), std::max(side * a, side * b)}; };
        const auto [t0, t1] = span(inner, wallFace);
        const auto [w0, w1] = span(wallFace - 2.0f, outer);
        parts::BevelBox(mesh, {t0, kFloorY, from}, {t1, terraceTop, to}, 1.2f, SkinOf(kGrating, kPanels));
        parts::BevelBox(mesh, {w0, kFloorY, from}, {w1, top, to}, 1.5f, SkinOf(kPlates, faceBand));
        // Windows under the lamp strip, the strip along the top edge; a second strip on the terrace.
        const float face = side * wallFace;
        parts::BevelBox(mesh, {face - side * 0.8f, top - 15.0f, from + 2.0f}, {face, top - 11.0f, to - 2.0f}, 0.0f, SkinOf(kEdge, kWindows));
        parts::Beam(mesh, {face - side * 0.6f, top + 0.3f, from + 1.0f}, {face - side * 0.6f, top + 0.3f, to - 1.0f}, 1.4f, 0.6f, 0.0f,
                    SkinOf(lampBand, lampBand));
        parts::Beam(mesh, {side * (inner + 1.0f), terraceTop + 0.3f, from + 1.0f}, {side * (inner + 1.0f), terraceTop + 0.3f, to - 1.0f}, 1.2f, 0.5f, 0.0f,
                    SkinOf(lampBand, lampBand));
        // Buttresses and roof vents at regular places, so that neighbouring chunks line up.
        for (float z = std::ceil(from / 50.0f) * 50.0f; z < to - 6.0f; z += 50.0f) {
            if (z - from < 6.0f) continue;
            const auto [b0, b1] = span(wallFace - 5.0f, wallFace);
            parts::BevelBox(mesh, {b0, terraceTop, z - 3.0f}, {b1, top - 20.0f, z + 3.0f}, 0.0f, SkinOf(kEdge, kPanels, {0, 1, 0}));
        }
        for (float z = std::ceil(from / 100.0f) * 100.0f + 25.0f; z < to - 12.0f; z += 100.0f) {
            const float cx = side * (wallFace + outer) * 0.5f;
            parts::BevelBox(mesh, {cx - 6.0f, top, z - 10.0f}, {cx + 6.0f, top + 1.2f, z + 10.0f}, 0.5f, SkinOf(kVent, kEdge));
        }
    });
}

void Catwalk(Scenery& scenery, float z, float y, float x0, float x1, int lampBand)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::BevelBox(mesh, {x0, y - 0.8f, z - 4.0f}, {x1, y, z + 4.0f}, 0.3f, SkinOf(kGrating, kEdge, {1, 0, 0}));
    for (float dz : {-4.2f, 4.2f}) parts::Beam(mesh, {x0, y + 1.2f, z + dz}, {x1, y + 1.2f, z + dz}, 0.5f, 0.5f, 0.0f, SkinOf(kEdge, kEdge, {1, 0, 0}));
    for (float x = x0 + 20.0f; x < x1 - 10.0f; x += 40.0f) {
        parts::BevelBox(mesh, {x - 1.0f, y + 1.45f, z - 4.6f}, {x + 1.0f, y + 2.0f, z - 3.8f}, 0.0f, SkinOf(lampBand, lampBand, {1, 0, 0}));
        parts::BevelBox(mesh, {x - 1.0f, y + 1.45f, z + 3.8f}, {x + 1.0f, y + 2.0f, z + 4.6f}, 0.0f, SkinOf(lampBand, lampBand, {1, 0, 0}));
    }
    // Legs down to the ground where the span is long.
    for (float x : {x0 + (x1 - x0) * 0.25f, x0 + (x1 - x0) * 0.75f})
        if (x1 - x0 > 120.0f) parts::Beam(mesh, {x, y - 0.8f, z}, {x, kFloorY, z}, 2.5f, 2.5f, 0.3f, SkinOf(kEdge, kPanels, {0, 1, 0}), {0, 0, 1});
}

void PipeRun(Scenery& scenery, float x, float y, float z0, float z1, float radius, int count, float spacing)
{
    scenery.Span(z0, z1, [&](MeshBuilder& mesh, float from, float to) {
        for (int i = 0; i < count; ++i) {
            const float px = x + static_cast<float>(i) * spacing;
            parts::Cylinder(mesh, {px, y, from}, {px, y, to}, radius, radius, kPipeSides, kRibbed, kNone, kNone);
            for (float z = std::ceil(from / 100.0f) * 100.0f; z < to; z += 100.0f)
                parts::Cylinder(mesh, {px, y, z - 1.0f}, {px, y, z + 1.0f}, radius * 1.25f, radius * 1.25f, kPipeSides, kEdge, kNone, kNone);
        }
        for (float z = std::ceil(from / 50.0f) * 50.0f + 25.0f; z < to; z += 50.0f) {
            const float x0 = x - radius * 1.5f, x1 = x + static_cast<float>(count - 1) * spacing + radius * 1.5f;
            parts::BevelBox(mesh, {x0, y - radius - 2.0f, z - 1.5f}, {x1, y - radius, z + 1.5f}, 0.3f, SkinOf(kEdge, kPanels, {1, 0, 0}));
            parts::Beam(mesh, {(x0 + x1) * 0.5f, y - radius - 2.0f, z}, {(x0 + x1) * 0.5f, kFloorY, z}, 2.0f, 2.0f, 0.0f, SkinOf(kEdge, kPanels, {0, 1, 0}), {0, 0, 1});
        }
    });
}

void Tank(Scenery& scenery, float x, float z, float radius, float top, int lampBand)
{
    MeshBuilder& mesh = scenery.Hull(z);
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Upright(x, z));
    const float height = top - kFloorY;
    std::vector<parts::Ring> rings = {{kFloorY, Circle(16, radius)}, {top - height * 0.12f, Circle(16, radius)},
                                      {top - height * 0.04f, Circle(16, radius * 0.8f)}, {top, Circle(16, radius * 0.45f)}};
    parts::Loft(mesh, rings, {kRust, kPlates}, kPanels, kNone);
    // A lamp ring and a hazard ring around the drum.
    parts::Loft(mesh, {{top - height * 0.2f, Circle(16, radius + 0.6f)}, {top - height * 0.2f + 1.6f, Circle(16, radius + 0.6f)}}, {lampBand}, kNone, kNone);
    parts::Loft(mesh, {{top - height * 0.5f, Circle(16, radius + 0.4f)}, {top - height * 0.5f + 3.0f, Circle(16, radius + 0.4f)}}, {kHazard}, kNone, kNone);
    mesh.SetFrame(outer);
}

void CoolingTower(Scenery& scenery, float x, float z, float radius, float top)
{
    MeshBuilder& mesh = scenery.Hull(z);
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Upright(x, z));
    const float height = top - kFloorY;
    const float profile[][2] = {{0.0f, 1.0f}, {0.35f, 0.78f}, {0.7f, 0.66f}, {1.0f, 0.74f}};
    std::vector<parts::Ring> rings;
    for (const auto& p : profile) rings.push_back({kFloorY + height * p[0], Circle(16, radius * p[1])});
    parts::Loft(mesh, rings, {kPlates, kPanels}, kNone, kNone);
    // The rim: a glowing lip, and the dark throat inside it.
    const float rim = radius * 0.74f;
    parts::Loft(mesh, {{top, Circle(16, rim)}, {top + 0.8f, Circle(16, rim - 1.5f)}}, {kGlowTeal}, kNone, kNone);
    parts::Loft(mesh, {{top - 6.0f, Circle(16, rim - 1.5f)}, {top + 0.8f, Circle(16, rim - 1.5f)}}, {kVent}, kVent, kNone);
    mesh.SetFrame(outer);
}

void Block(Scenery& scenery, float x, float z, float halfX, float halfZ, float top, Random& random, float base)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::BevelBox(mesh, {x - halfX, base, z - halfZ}, {x + halfX, top, z + halfZ}, 1.2f, SkinOf(kPlates, kMachinery));
    parts::Greebles(mesh, x - halfX + 2.0f, x + halfX - 2.0f, z - halfZ + 2.0f, z + halfZ - 2.0f, top, 4, std::min(halfX, halfZ) * 0.5f, random,
                    SkinOf(kPanels, kMachinery));
    parts::Beam(mesh, {x - halfX + 1.0f, top + 0.1f, z - halfZ + 1.5f}, {x + halfX - 1.0f, top + 0.1f, z - halfZ + 1.5f}, 2.4f, 0.3f, 0.0f,
                SkinOf(kHazard, kEdge, {1, 0, 0}));
}

void Deck(Scenery& scenery, float x0, float x1, float z0, float z1, float y, int lampBand)
{
    scenery.Span(z0, z1, [&](MeshBuilder& mesh, float from, float to) {
        parts::BevelBox(mesh, {x0, y - 4.0f, from}, {x1, y, to}, 0.8f, SkinOf(kPlates, kHazard));
        for (float x : {x0 + 1.5f, x1 - 1.5f})
            for (float z = std::ceil(from / 25.0f) * 25.0f; z < to - 2.0f; z += 25.0f)
                parts::BevelBox(mesh, {x - 1.0f, y, z - 1.5f}, {x + 1.0f, y + 0.6f, z + 1.5f}, 0.0f, SkinOf(lampBand, lampBand));
        // A runway of lamps down the middle and warning stripes across.
        for (float z = std::ceil(from / 20.0f) * 20.0f; z < to - 1.0f; z += 20.0f)
            parts::BevelBox(mesh, {-0.8f, y, z - 2.0f}, {0.8f, y + 0.4f, z + 2.0f}, 0.0f, SkinOf(lampBand, lampBand));
        for (float z = std::ceil(from / 120.0f) * 120.0f + 60.0f; z < to - 4.0f; z += 120.0f)
            parts::BevelBox(mesh, {x0 + 4.0f, y, z - 3.0f}, {x1 - 4.0f, y + 0.2f, z + 3.0f}, 0.0f, SkinOf(kHazard, kEdge, {1, 0, 0}));
    });
}

void Tower(Scenery& scenery, float x, float z, float half, float top)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::BevelBox(mesh, {x - half, kFloorY, z - half}, {x + half, top - 8.0f, z + half}, 1.5f, SkinOf(kPlates, kWindows, {0, 1, 0}));
    parts::BevelBox(mesh, {x - half * 0.7f, top - 8.0f, z - half * 0.7f}, {x + half * 0.7f, top - 2.0f, z + half * 0.7f}, 1.0f, SkinOf(kVent, kPanels));
    parts::Cylinder(mesh, {x, top - 2.0f, z}, {x, top, z}, 1.6f, 1.2f, 8, kEdge, kNone, kGlowRed);
}

void Furnace(Scenery& scenery, float x, float z, float half, float top)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::BevelBox(mesh, {x - half, kFloorY, z - half}, {x + half, top - 14.0f, z + half}, 1.5f, SkinOf(kRust, kRust));
    parts::BevelBox(mesh, {x - half - 0.6f, top - 34.0f, z - half - 0.6f}, {x + half + 0.6f, top - 30.0f, z + half + 0.6f}, 0.3f, SkinOf(kEdge, kGlowAmber, {0, 1, 0}));
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Upright(x, z));
    parts::Loft(mesh, {{top - 14.0f, Circle(12, half * 0.6f)}, {top - 2.0f, Circle(12, half * 0.5f)}}, {kRibbed}, kNone, kNone);
    parts::Loft(mesh, {{top - 2.0f, Circle(12, half * 0.5f)}, {top, Circle(12, half * 0.4f)}}, {kGlowAmber}, kVent, kNone);
    mesh.SetFrame(outer);
}

void Channel(Scenery& scenery, float x, float z0, float z1, float halfWidth, int glowBand)
{
    scenery.Span(z0, z1, [&](MeshBuilder& mesh, float from, float to) {
        for (float side : {-1.0f, 1.0f}) {
            const float inner = x + side * halfWidth, outer = x + side * (halfWidth + 5.0f);
            parts::BevelBox(mesh, {std::min(inner, outer), kFloorY, from}, {std::max(inner, outer), kFloorY + 6.0f, to}, 0.8f, SkinOf(kHazard, kRust));
        }
        // A dark bed with a narrow glowing seam down its middle.
        mesh.Quad({x - halfWidth, kFloorY + 0.5f, from}, {x + halfWidth, kFloorY + 0.5f, from}, {x + halfWidth, kFloorY + 0.5f, to},
                  {x - halfWidth, kFloorY + 0.5f, to}, {0, 1, 0}, {kVent, {0, 0, 1}});
        const float seam = std::min(2.0f, halfWidth * 0.3f);
        mesh.Quad({x - seam, kFloorY + 0.8f, from}, {x + seam, kFloorY + 0.8f, from}, {x + seam, kFloorY + 0.8f, to},
                  {x - seam, kFloorY + 0.8f, to}, {0, 1, 0}, {glowBand, {0, 0, 1}});
    });
}

void Gantry(Scenery& scenery, float z, float y, float halfSpan, int cyclesPerLoop, float phase)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::Truss(mesh, {-halfSpan, y, z}, {halfSpan, y, z}, 6.0f, 1.2f, 10, SkinOf(kEdge, kPanels, {1, 0, 0}));
    for (float x : {-halfSpan, halfSpan})
        parts::Beam(mesh, {x, y, z}, {x, kFloorY, z}, 4.0f, 4.0f, 0.5f, SkinOf(kEdge, kHazard, {0, 1, 0}), {0, 0, 1});
    MeshBuilder trolley(scenery.HullSheet());
    parts::BevelBox(trolley, {-6.0f, y - 4.0f, z - 5.0f}, {6.0f, y + 2.0f, z + 5.0f}, 0.8f, SkinOf(kMachinery, kHazard));
    parts::BevelBox(trolley, {-3.0f, y + 2.0f, z - 1.0f}, {3.0f, y + 2.6f, z + 1.0f}, 0.0f, SkinOf(kGlowAmber, kGlowAmber));
    parts::Beam(trolley, {0, y - 4.0f, z}, {0, y - 30.0f, z}, 0.6f, 0.6f, 0.0f, SkinOf(kEdge, kEdge, {0, 1, 0}), {0, 0, 1});
    parts::BevelBox(trolley, {-3.0f, y - 36.0f, z - 3.0f}, {3.0f, y - 30.0f, z + 3.0f}, 0.6f, SkinOf(kHazard, kRust));
    const float travel = halfSpan * 0.7f;
    const float loop = keys::TimeOf(scenery.Frames() - 1);
    scenery.AddAnimated(std::move(trolley), [=](float t) {
        return keys::Pose{{travel * Sine(2.0f * kPi * (t / loop * static_cast<float>(cyclesPerLoop) + phase)), 0, 0}, {0, 0, 0}, 0.0f};
    });
}

void Fan(Scenery& scenery, float x, float z, float y, float radius, int turnsPerLoop)
{
    MeshBuilder& housing = scenery.Hull(z);
    const Frame outer = housing.CurrentFrame();
    housing.SetFrame(Upright(x, z));
    parts::Loft(housing, {{kFloorY, Circle(12, radius + 3.0f)}, {y, Circle(12, radius + 3.0f)}, {y + 1.0f, Circle(12, radius + 1.0f)}},
                {kPanels, kPanels, kEdge, kEdge, kEdge, kEdge, kEdge, kEdge, kEdge, kEdge, kEdge, kEdge, kHazard, kHazard, kHazard}, kNone, kNone);
    parts::Loft(housing, {{y - 6.0f, Circle(12, radius + 1.0f)}, {y + 1.0f, Circle(12, radius + 1.0f)}}, {kVent}, kVent, kNone);
    housing.SetFrame(outer);
    // Blades about the fan's own centre, which the animation places and turns.
    MeshBuilder blades(scenery.HullSheet());
    for (int i = 0; i < 4; ++i) {
        blades.SetFrame(Frame::TurnedY({}, kPi * 0.5f * static_cast<float>(i)));
        parts::Beam(blades, {0, 0, 1.5f}, {0, 0, radius}, radius * 0.35f, 0.6f, 0.15f, SkinOf(kPanels, kEdge));
    }
    blades.SetFrame({});
    parts::Cylinder(blades, {0, -0.5f, 0}, {0, 1.0f, 0}, 2.2f, 1.6f, 8, kEdge, kNone, kGlowAmber);
    const float loop = keys::TimeOf(scenery.Frames() - 1);
    scenery.AddAnimated(std::move(blades), [=](float t) {
        return keys::Pose{{x, y - 2.0f, z}, {0, 1, 0}, 2.0f * kPi * static_cast<float>(turnsPerLoop) * t / loop};
    });
}

void Clutter(Scenery& scenery, float z0, float z1, float x0, float x1, int count, Random& random)
{
    const int bands[] = {kMachinery, kPlates, kRust, kPanels, kVent};
    for (int i = 0; i < count; ++i) {
        const float side = random.Chance(0.5f) ? -1.0f : 1.0f;
        const float x = side * random.Range(x0, x1), z = random.Range(z0, z1);
        const float w = random.Range(3.0f, 9.0f), d = random.Range(3.0f, 12.0f), h = random.Range(2.0f, 10.0f);
        const int band = bands[random.Below(static_cast<int>(std::size(bands)))];
        parts::BevelBox(scenery.Hull(z), {x - w, kFloorY, z - d}, {x + w, kFloorY + h, z + d}, 0.0f, SkinOf(band, kEdge));
    }
}

void CrossPipe(Scenery& scenery, float z, float y, float halfSpan, float radius)
{
    MeshBuilder& mesh = scenery.Hull(z);
    parts::Pipe(mesh, {{-halfSpan, kFloorY, z}, {-halfSpan + 10.0f, y, z}, {halfSpan - 10.0f, y, z}, {halfSpan, kFloorY, z}}, radius, kPipeSides, kRibbed, kEdge);
}

void ReactorCore(Scenery& scenery, float x, float z, float radius, float top)
{
    MeshBuilder& mesh = scenery.Hull(z);
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Upright(x, z));
    const float height = top - kFloorY;
    parts::Loft(mesh, {{kFloorY, Circle(12, radius * 1.2f)}, {kFloorY + 6.0f, Circle(12, radius * 1.2f)}, {kFloorY + 6.5f, Circle(12, radius)},
                       {top - radius * 0.5f, Circle(12, radius)}, {top, Circle(12, radius * 0.5f)}},
                {kHazard, kEdge, kPanels, kPlates}, kVent, kNone);
    for (int i = 1; i <= 3; ++i) {
        const float y = kFloorY + height * static_cast<float>(i) / 4.0f;
        parts::Loft(mesh, {{y, Circle(12, radius + 0.8f)}, {y + 2.0f, Circle(12, radius + 0.8f)}}, {kGlowTeal}, kNone, kNone);
    }
    mesh.SetFrame(outer);
}

void Bulkhead(Scenery& scenery, float z)
{
    using level_plan::kDoorSlotHalfDepth;
    constexpr float kDepth = 22.0f;
    constexpr float kInner = 150.0f;
    constexpr float kOuter = level_plan::kFloorHalfWidth;
    const float top = -8.0f;
    for (float side : {-1.0f, 1.0f}) {
        for (float dz : {-1.0f, 1.0f}) {
            const float z0 = dz < 0 ? z - kDoorSlotHalfDepth - kDepth : z + kDoorSlotHalfDepth + 1.0f;
            const float z1 = dz < 0 ? z - kDoorSlotHalfDepth - 1.0f : z + kDoorSlotHalfDepth + kDepth;
            MeshBuilder& mesh = scenery.Hull((z0 + z1) * 0.5f);
            const float x0 = std::min(side * kInner, side * kOuter), x1 = std::max(side * kInner, side * kOuter);
            parts::BevelBox(mesh, {x0, kFloorY, z0}, {x1, top, z1}, 2.0f, SkinOf(kMarkings, kPlates, {1, 0, 0}));
            parts::Beam(mesh, {x0 + 2.0f, top + 0.3f, dz < 0 ? z0 + 1.5f : z1 - 1.5f}, {x1 - 2.0f, top + 0.3f, dz < 0 ? z0 + 1.5f : z1 - 1.5f}, 1.4f, 0.6f, 0.0f,
                        SkinOf(kGlowAmber, kGlowAmber, {1, 0, 0}));
        }
    }
    // Below the slot, a sill the door's own threshold rests on.
    MeshBuilder& mesh = scenery.Hull(z);
    parts::BevelBox(mesh, {-kInner, kFloorY, z - 30.0f}, {kInner, level_plan::kDoorBottom - 2.0f, z + 30.0f}, 2.0f, SkinOf(kHazard, kRust, {1, 0, 0}));
}

void Arena(Scenery& scenery, float z)
{
    MeshBuilder& mesh = scenery.Hull(z);
    const Frame outer = mesh.CurrentFrame();
    mesh.SetFrame(Upright(0, z));
    // The pedestal: the boss's base stands at y = −80.
    parts::Loft(mesh, {{kFloorY, Circle(16, 70.0f)}, {-86.0f, Circle(16, 62.0f)}, {-81.0f, Circle(16, 58.0f)}}, {kRust, kPlates, kHazard}, kPlates, kNone);
    parts::Loft(mesh, {{-80.9f, Circle(16, 57.0f)}, {-80.5f, Circle(16, 54.0f)}}, {kGlowRed}, kNone, kNone);
    mesh.SetFrame(outer);
    // Conduits running in to the pedestal, a red seam along each.
    for (int i = 0; i < 8; ++i) {
        const float angle = 2.0f * kPi * static_cast<float>(i) / 8.0f;
        const V3 in{Sine(angle) * 72.0f, kFloorY + 3.0f, z + Cosine(angle) * 72.0f}, out{Sine(angle) * 175.0f, kFloorY + 3.0f, z + Cosine(angle) * 175.0f};
        // Cut where it crosses from one chunk into the next.
        const bool alongZ = std::fabs(out.z - in.z) > 1.0f;
        const float z0 = std::min(in.z, out.z), z1 = std::max(in.z, out.z) + (alongZ ? 0.0f : 1.0f);
        scenery.Span(z0, z1, [&](MeshBuilder& conduit, float from, float to) {
            const V3 a = alongZ ? Lerp(in, out, (from - in.z) / (out.z - in.z)) : in;
            const V3 b = alongZ ? Lerp(in, out, (to - in.z) / (out.z - in.z)) : out;
            parts::Beam(conduit, a, b, 8.0f, 6.0f, 0.0f, SkinOf(kPanels, kRust));
            parts::Beam(conduit, a + V3{0, 3.2f, 0}, b + V3{0, 3.2f, 0}, 1.2f, 0.4f, 0.0f, SkinOf(kGlowRed, kGlowRed));
        });
    }
    // Pylons round the arena, out of the way of the boss's camera.
    for (int i = 0; i < 8; ++i) {
        const float angle = 2.0f * kPi * (static_cast<float>(i) + 0.5f) / 8.0f;
        const float px = Sine(angle) * (level_plan::kArenaRadius + 20.0f), pz = z + Cosine(angle) * (level_plan::kArenaRadius + 20.0f);
        MeshBuilder& pylon = scenery.Hull(pz);
        parts::BevelBox(pylon, {px - 9.0f, kFloorY, pz - 9.0f}, {px + 9.0f, -22.0f, pz + 9.0f}, 1.5f, SkinOf(kPanels, kPlates, {0, 1, 0}));
        parts::BevelBox(pylon, {px - 6.0f, -22.0f, pz - 6.0f}, {px + 6.0f, -16.0f, pz + 6.0f}, 0.8f, SkinOf(kGlowRed, kMachinery));
    }
}

}  // namespace props
