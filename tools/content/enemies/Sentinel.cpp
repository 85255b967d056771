#include "tools/content/enemies/Sentinel.h"

#include <cmath>

#include "tools/content/AssetSet.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0003;
constexpr int kSheetWidth = 256;  // pixels
constexpr float kSheetScale = 0.7f;
constexpr float kNormalStrength = 0.8f;
constexpr float kAmbientLift = 0.12f;
const MapNames kMaps{"nave_hull.tga", "nave_hull_n.jpg"};
const CraftColours kColours{{1.0f, 0.2f, 0.85f}, {1.0f, 0.3f, 0.7f}, {1.0f, 0.25f, 0.6f}, {0.35f, 0.05f, 0.3f}};

// Within 5 units of the origin.
constexpr float kRimRadius = 3.6f;
constexpr int kSides = 16;
constexpr int kFins = 4;

SheetPalette Palette()
{
    SheetPalette palette;
    palette.metal = {0.46f, 0.42f, 0.48f};
    palette.metalAlt = {0.33f, 0.30f, 0.36f};
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
    // A lamp ring around the crown, seen from above, and the eye: a glowing dome.
    mesh.SetFrame(Upright());
    parts::Loft(mesh, {{0.78f, parts::EllipseOutline(kSides, 2.6f, 2.6f)}, {0.9f, parts::EllipseOutline(kSides, 2.25f, 2.25f)}}, {kGlow},
                parts::kNone, parts::kNone);
    mesh.SetFrame({});
    parts::Cylinder(mesh, {0, 1.1f, 0}, {0, 1.55f, 0}, 0.9f, 0.55f, 10, kEdge, parts::kNone, kEngine);
    // Fins with red tips, between them armour blocks.
    for (int i = 0; i < kFins; ++i) {
        const float angle = 6.2831853f * (static_cast<float>(i) + 0.5f) / kFins;
        mesh.SetFrame(Frame::TurnedY({}, angle));
        parts::Prism(mesh, {{-0.35f, 0, 2.6f}, {0.35f, 0, 2.6f}, {0.2f, 0, 4.6f}, {-0.2f, 0, 4.6f}}, -0.2f, 0.5f, 0.1f,
                     {kPlates, kEdge, parts::kNone, kEdge, {0, 0, 1}});
        parts::Beam(mesh, {0, 0.5f, 3.6f}, {0, 0.5f, 4.5f}, 0.2f, 0.12f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {0, 0, 1}});
        mesh.SetFrame(Frame::TurnedY({}, angle + 3.14159265f / kFins));
        parts::BevelBox(mesh, {-0.7f, 0.55f, 1.2f}, {0.7f, 0.95f, 2.4f}, 0.12f, {kVent, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    }
    ModelFile model;
    model.materials.push_back(MapMaterial(kMaps, true, kAmbientLift));
    model.objects.push_back(mesh.ToObject(0));
    return model;
}

}  // namespace

void MakeSentinel(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, kSheetScale, kColours);
    AddMaps(assets, PaintSheet(sheet, Palette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("nave.3df", ModelWriter::Write(BuildModel(sheet)));
}
