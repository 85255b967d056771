#include "tools/content/enemies/Sentinel.h"

#include <cmath>

#include "tools/content/AssetSet.h"
#include "tools/content/CraftModel.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0003;
constexpr int kSheetWidth = 256;  // pixels
constexpr float kSheetScale = 0.7f;
constexpr float kNormalStrength = 0.8f;
constexpr CraftShading kShading{0.45f, 0.12f};  // pale on top, darker flanks to outline it
const MapNames kMaps{"nave_hull.tga", "nave_hull_n.jpg"};
const CraftColours kColours{{1.0f, 0.2f, 0.85f}, {1.0f, 0.3f, 0.7f}, {1.0f, 0.25f, 0.6f}, {0.35f, 0.05f, 0.3f}};

// Within 5 units of the origin.
constexpr float kRimRadius = 3.6f;
constexpr int kSides = 16;
constexpr int kFins = 4;
// The glowing parts, sized to stay some pixels wide from 200 units up.
constexpr float kLampOuter = 2.75f;  // radius of the lamp ring's outer edge
constexpr float kLampInner = 1.95f;
constexpr float kEyeRadius = 1.2f;
constexpr float kFinLampWidth = 0.5f;

SheetPalette Palette()
{
    // Pale armour, light against the dark floor from the play camera.
    SheetPalette palette;
    palette.metal = {0.68f, 0.64f, 0.70f};
    palette.metalAlt = {0.54f, 0.50f, 0.57f};
    palette.paint = {0.45f, 0.08f, 0.38f};
    palette.hazardA = {0.75f, 0.12f, 0.6f};
    palette.wear = 0.45f;
    palette.dirt = 0.5f;
    palette.code = "SN";
    return palette;
}

// The saucer is lofted about a vertical axis: this frame turns the loft's z axis upwards.
Frame Upright() { return {{}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}}; }

std::vector<parts::Ring> SaucerRings()
{
    const float profile[][2] = {{-0.9f, 1.2f}, {-0.4f, 2.9f}, {0.0f, kRimRadius}, {0.35f, kRimRadius}, {0.7f, 2.7f}, {1.1f, 1.5f}};
    std::vector<parts::Ring> rings;
    for (const auto& p : profile) rings.push_back({p[0], parts::EllipseOutline(kSides, p[1], p[1])});
    return rings;
}

ModelFile BuildModel(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    mesh.SetFrame(Upright());
    const std::vector<parts::Ring> rings = SaucerRings();
    // Belly, lamp rim, upper armour, crown: one band per ring step.
    for (size_t i = 0; i + 1 < rings.size(); ++i) {
        const int band = i == 2 ? kGlow : i == 1 ? kEdge : i == 3 ? kPanels : kPlates;
        parts::Loft(mesh, {rings[i], rings[i + 1]}, {band}, i + 2 == rings.size() ? kMachinery : parts::kNone, parts::kNone);
    }
    mesh.SetFrame({});
    // A broad lamp ring around the crown, seen from above, and the eye: a glowing lens with a
    // white-hot pupil. Both stay several pixels wide from the play camera.
    mesh.SetFrame(Upright());
    parts::Loft(mesh, {{0.8f, parts::EllipseOutline(kSides, kLampOuter, kLampOuter)}, {1.0f, parts::EllipseOutline(kSides, kLampInner, kLampInner)}},
                {kBeacon}, parts::kNone, parts::kNone);
    mesh.SetFrame({});
    parts::Cylinder(mesh, {0, 1.1f, 0}, {0, 1.45f, 0}, kEyeRadius + 0.2f, kEyeRadius, kSides, kEdge, parts::kNone, kBeacon);
    parts::Cylinder(mesh, {0, 1.45f, 0}, {0, 1.55f, 0}, 0.5f, 0.45f, 10, kEdge, parts::kNone, kEngine);
    // Fins with glowing tips, between them armour blocks.
    for (int i = 0; i < kFins; ++i) {
        const float angle = 6.2831853f * (static_cast<float>(i) + 0.5f) / kFins;
        mesh.SetFrame(Frame::TurnedY({}, angle));
        parts::Prism(mesh, {{-0.35f, 0, 2.6f}, {0.35f, 0, 2.6f}, {0.2f, 0, 4.6f}, {-0.2f, 0, 4.6f}}, -0.2f, 0.5f, 0.1f,
                     {kPlates, kEdge, parts::kNone, kEdge, {0, 0, 1}});
        parts::Beam(mesh, {0, 0.52f, 3.3f}, {0, 0.52f, 4.5f}, kFinLampWidth, 0.12f, 0.0f, {kBeacon, kEdge, parts::kNone, kEdge, {0, 0, 1}});
        mesh.SetFrame(Frame::TurnedY({}, angle + 3.14159265f / kFins));
        parts::BevelBox(mesh, {-0.7f, 0.55f, 1.2f}, {0.7f, 0.95f, 2.4f}, 0.12f, {kVent, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    }
    return CraftModel(mesh, kMaps, kShading);
}

}  // namespace

void MakeSentinel(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, kSheetScale, kColours);
    AddMaps(assets, PaintSheet(sheet, Palette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("nave.3df", ModelWriter::Write(BuildModel(sheet)));
}
