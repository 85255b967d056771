#include "tools/content/enemies/Defender.h"

#include "tools/content/AssetSet.h"
#include "tools/content/CraftModel.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0002;
constexpr int kSheetWidth = 256;   // pixels
constexpr float kSheetScale = 0.8f;
constexpr float kNormalStrength = 0.8f;
constexpr CraftShading kShading{0.45f, 0.12f};  // pale on top, darker flanks to outline it
const MapNames kMaps{"defender_hull.tga", "defender_hull_n.jpg"};
const CraftColours kColours{{1.0f, 0.1f, 0.06f}, {1.0f, 0.2f, 0.35f}, {1.0f, 0.2f, 0.1f}, {0.45f, 0.06f, 0.05f}};

// Built nose towards +z, then turned to face −z. Everything stays within 7 units of the origin.
constexpr float kNoseZ = 4.6f;
constexpr float kClawX = 3.3f;       // inner edge of a mandible
constexpr float kClawTipZ = 5.9f;
constexpr int kRoundSegments = 12;
constexpr float kVisorWidth = 0.75f;  // glowing faces must stay some pixels wide from the play camera
constexpr float kStripWidth = 0.7f;
constexpr float kCoreRadius = 0.95f;

SheetPalette Palette()
{
    // Pale armour: from 200 units up the hull must stand out light against the dark floor.
    SheetPalette palette;
    palette.metal = {0.70f, 0.68f, 0.66f};
    palette.metalAlt = {0.56f, 0.54f, 0.53f};
    palette.paint = {0.62f, 0.09f, 0.07f};
    palette.hazardA = {0.75f, 0.09f, 0.06f};
    palette.wear = 0.4f;
    palette.dirt = 0.45f;
    palette.code = "DX";
    return palette;
}

void Body(MeshBuilder& mesh)
{
    const float stations[][3] = {{-4.2f, 1.3f, 0.8f}, {-2.6f, 2.0f, 1.3f}, {0.0f, 2.3f, 1.5f},
                                 {2.4f, 1.8f, 1.2f},  {3.8f, 1.1f, 0.75f}, {kNoseZ, 0.5f, 0.35f}};
    std::vector<parts::Ring> rings;
    for (const auto& s : stations) rings.push_back({s[0], parts::EllipseOutline(10, s[1], s[2], 0.4f)});
    const std::vector<int> sides = {kPanels, kPlates, kPlates, kPlates, kPanels, parts::kNone, parts::kNone, parts::kNone, parts::kNone, parts::kNone};
    parts::Loft(mesh, rings, sides, kGlow, kEngine);
    // The eyes: a red visor in a scowl across the brow, and an armoured crest behind it with the
    // glowing core set into it.
    for (float side : {-1.0f, 1.0f})
        parts::Beam(mesh, {0.15f * side, 1.05f, 3.75f}, {1.45f * side, 0.85f, 2.7f}, kVisorWidth, 0.25f, 0.0f, {kBeacon, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    parts::Cylinder(mesh, {0, 1.6f, -0.6f}, {0, 2.15f, -0.6f}, kCoreRadius + 0.25f, kCoreRadius, kRoundSegments, kEdge, parts::kNone, kBeacon);
    parts::BevelBox(mesh, {-0.6f, 1.2f, -3.2f}, {0.6f, 1.85f, 2.2f}, 0.18f, {kMarkings, kPanels, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {-1.6f, 1.05f, -2.4f}, {-0.75f, 1.4f, 0.6f}, 0.1f, {kVent, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {0.75f, 1.05f, -2.4f}, {1.6f, 1.4f, 0.6f}, 0.1f, {kVent, kEdge, parts::kNone, kEdge, {0, 0, 1}});
}

// One mandible with its engine pod, on the +x side: seen from above the two mandibles open towards
// the player like pincers.
void Claw(MeshBuilder& mesh)
{
    const parts::Skin armour{kPlates, kEdge, parts::kNone, kEdge, {1, 0, 0}};
    parts::Prism(mesh, {{1.6f, 0, -2.4f}, {kClawX + 1.7f, 0, -0.6f}, {kClawX + 1.9f, 0, 1.2f}, {1.8f, 0, 1.4f}}, -0.35f, 0.45f, 0.15f, armour);
    parts::Prism(mesh, {{kClawX + 0.9f, 0, 0.8f}, {kClawX + 2.0f, 0, 1.0f}, {kClawX - 0.1f, 0, kClawTipZ}, {kClawX - 0.4f, 0, 4.8f}},
                 -0.25f, 0.4f, 0.12f, {kPanels, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Beam(mesh, {kClawX + 0.6f, 0.45f, 1.3f}, {kClawX - 0.25f, 0.45f, 5.2f}, kStripWidth, 0.12f, 0.0f, {kBeacon, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Beam(mesh, {2.4f, 0.5f, -1.2f}, {kClawX + 1.2f, 0.5f, 0.0f}, 0.7f, 0.06f, 0.0f, {kHazard, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    // Engine pod behind the arm, and a spike trailing from it.
    const float x = 2.6f, y = 0.1f;
    parts::Cylinder(mesh, {x, y, -4.9f}, {x, y, -1.6f}, 0.7f, 0.8f, kRoundSegments, kPanels, parts::kNone, kEdge);
    parts::Cylinder(mesh, {x, y, -5.4f}, {x, y, -4.9f}, 0.55f, 0.7f, kRoundSegments, kEdge, kEngine, parts::kNone);
    parts::Cylinder(mesh, {x, y + 0.3f, -1.6f}, {x, y + 0.3f, 1.0f}, 0.25f, 0.2f, 8, kEdge, parts::kNone, kMachinery);
    parts::Prism(mesh, {{kClawX + 1.0f, 0, -1.0f}, {kClawX + 1.6f, 0, -0.8f}, {kClawX + 2.2f, 0, -3.6f}}, -0.15f, 0.2f, 0.06f,
                 {kEdge, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    Random random(kSeed + 5);
    parts::Greebles(mesh, 2.2f, 4.2f, -1.0f, 0.8f, 0.45f, 4, 0.45f, random, {kMachinery, kEdge, parts::kNone, kEdge, {0, 0, 1}});
}

ModelFile BuildModel(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    const Frame facePlayer = Frame::TurnedY({}, 3.14159265f);
    mesh.SetFrame(facePlayer);
    Body(mesh);
    Claw(mesh);
    mesh.SetFrame(Frame::MirrorX().Within(facePlayer));
    Claw(mesh);
    return CraftModel(mesh, kMaps, kShading);
}

}  // namespace

void MakeDefender(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, kSheetScale, kColours);
    AddMaps(assets, PaintSheet(sheet, Palette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("defender.3DF", ModelWriter::Write(BuildModel(sheet)));
}
