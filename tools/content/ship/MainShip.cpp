#include "tools/content/ship/MainShip.h"

#include "tools/content/AssetSet.h"
#include "tools/content/CraftModel.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0001;
constexpr int kSheetWidth = 512;         // pixels
constexpr float kNormalStrength = 0.9f;
constexpr CraftShading kShading{0.3f, 0.08f};  // the ship reads against the ground, its flanks outline it
const MapNames kMaps{"ship_hull.tga", "ship_hull_n.jpg"};

// Sizes in world units; the ship must stay within 10 of its origin.
constexpr float kNoseZ = 9.3f;
constexpr float kTailZ = -7.6f;
constexpr float kWingSpan = 8.2f;        // x of the wing tips
constexpr float kNacelleX = 2.7f;
constexpr float kNacelleRadius = 1.05f;
constexpr int kRoundSegments = 14;
constexpr float kLampWidth = 0.6f;       // glowing faces must stay some pixels wide from the play camera
constexpr float kPlumeLength = 0.8f;     // the hot exhaust behind each nozzle, seen from above

const CraftColours kColours{{0.35f, 0.95f, 1.0f}, {1.0f, 0.38f, 0.12f}, {0.35f, 0.95f, 1.0f}, {0.10f, 0.30f, 0.36f}};

SheetPalette ShipPalette()
{
    SheetPalette palette;
    palette.metal = {0.58f, 0.62f, 0.68f};
    palette.metalAlt = {0.44f, 0.48f, 0.54f};
    palette.paint = {0.62f, 0.16f, 0.12f};
    palette.wear = 0.6f;
    palette.dirt = 0.45f;
    palette.code = "ZR";
    return palette;
}

// The fuselage: a loft from the tail to the nose, its belly left open (nobody sees it).
void Fuselage(MeshBuilder& mesh)
{
    struct Station {
        float z, halfWidth, height;
    };
    const Station stations[] = {{kTailZ, 1.5f, 0.8f}, {-5.5f, 2.1f, 1.15f}, {-2.0f, 2.2f, 1.25f}, {1.5f, 1.9f, 1.15f},
                                {4.5f, 1.3f, 0.85f},  {7.2f, 0.7f, 0.5f},   {kNoseZ, 0.12f, 0.12f}};
    std::vector<parts::Ring> rings;
    for (const Station& s : stations) rings.push_back({s.z, parts::EllipseOutline(10, s.halfWidth, s.height, 0.5f)});
    // Ten sides from +x counter-clockwise: the upper five carry plates and panels, the lower ones are left out.
    const std::vector<int> sides = {kPanels, kPlates, kPlates, kPlates, kPanels, parts::kNone, parts::kNone, parts::kNone, parts::kNone, parts::kNone};
    parts::Loft(mesh, rings, sides, parts::kNone, kEngine);
}

void Cockpit(MeshBuilder& mesh)
{
    std::vector<parts::Ring> rings;
    const float top = 1.05f;
    const float stations[][3] = {{0.6f, 0.5f, 0.1f}, {1.8f, 0.85f, 0.45f}, {3.6f, 0.75f, 0.42f}, {5.4f, 0.3f, 0.12f}};
    for (const auto& s : stations) {
        std::vector<V3> points = parts::EllipseOutline(8, s[1], s[2], 0.2f);
        for (V3& p : points) p.y += top;
        rings.push_back({s[0], points});
    }
    parts::Loft(mesh, rings, {kGlass, kGlass, kGlass, kGlass, kGlass, parts::kNone, parts::kNone, parts::kNone}, kEdge, kEdge);
}

// One wing and everything on it, built on the +x side; the caller mirrors it for the other.
void Wing(MeshBuilder& mesh)
{
    const parts::Skin skin{kPlates, kEdge, parts::kNone, kEdge, {0, 0, 1}};
    parts::Prism(mesh, {{1.6f, 0, -5.8f}, {kWingSpan, 0, -3.6f}, {kWingSpan, 0, -1.4f}, {1.6f, 0, 2.8f}}, -0.3f, 0.3f, 0.16f, skin);
    // Leading-edge lamp and a hazard strip near the root.
    parts::Beam(mesh, {2.0f, 0.3f, 2.2f}, {kWingSpan - 0.3f, 0.3f, -1.55f}, kLampWidth, 0.14f, 0.0f, {kBeacon, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Beam(mesh, {2.3f, 0.3f, -4.9f}, {2.3f, 0.3f, 1.6f}, 0.5f, 0.06f, 0.0f, {kHazard, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    // A raised armour panel, a vent and a few greebles over the wing root.
    parts::BevelBox(mesh, {3.0f, 0.25f, -4.0f}, {5.6f, 0.55f, -1.2f}, 0.12f, {kPanels, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    parts::BevelBox(mesh, {3.3f, 0.5f, -3.6f}, {5.2f, 0.62f, -2.2f}, 0.05f, {kVent, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    Random random(kSeed + 3);
    parts::Greebles(mesh, 5.8f, 7.8f, -3.3f, -1.2f, 0.3f, 5, 0.5f, random, {kMachinery, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    // Wing-tip pod with a gun and a cyan tip lamp.
    parts::Cylinder(mesh, {kWingSpan, 0.05f, -4.4f}, {kWingSpan, 0.05f, 0.6f}, 0.45f, 0.42f, 10, kPanels, kEdge, parts::kNone);
    parts::Cylinder(mesh, {kWingSpan, 0.05f, 0.6f}, {kWingSpan, 0.05f, 1.6f}, 0.42f, 0.12f, 10, kEdge, parts::kNone, kGlow);
    parts::Cylinder(mesh, {kWingSpan, 0.05f, -4.9f}, {kWingSpan, 0.05f, -4.4f}, 0.25f, 0.45f, 10, kEdge, kGlow, parts::kNone);
    // Engine nacelle: body, intake ring, exhaust bell and the hot core.
    const float y = 0.15f;
    parts::Cylinder(mesh, {kNacelleX, y, -7.9f}, {kNacelleX, y, -2.0f}, kNacelleRadius, kNacelleRadius * 0.8f, kRoundSegments, kPanels, parts::kNone, kEdge);
    parts::Cylinder(mesh, {kNacelleX, y, -2.0f}, {kNacelleX, y, -1.2f}, kNacelleRadius * 0.8f, kNacelleRadius * 0.55f, kRoundSegments, kMachinery, parts::kNone, kVent);
    parts::Cylinder(mesh, {kNacelleX, y, -8.7f}, {kNacelleX, y, -7.9f}, kNacelleRadius * 0.95f, kNacelleRadius * 1.05f, kRoundSegments, kEdge, kEngine, parts::kNone);
    parts::BevelBox(mesh, {kNacelleX - 0.35f, y + 0.9f, -7.2f}, {kNacelleX + 0.35f, y + 1.25f, -3.0f}, 0.08f, {kBeacon, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Cylinder(mesh, {kNacelleX, y, -8.7f - kPlumeLength}, {kNacelleX, y, -8.7f}, kNacelleRadius * 0.3f, kNacelleRadius * 0.8f, kRoundSegments, kEngine, parts::kNone, parts::kNone);
    // Canard by the nose.
    parts::Prism(mesh, {{0.9f, 0, 4.2f}, {2.9f, 0, 3.8f}, {2.9f, 0, 4.6f}, {0.9f, 0, 6.4f}}, 0.05f, 0.3f, 0.08f, {kPanels, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    // Nose gun.
    parts::Cylinder(mesh, {1.0f, 0.5f, 4.0f}, {1.0f, 0.5f, 8.4f}, 0.16f, 0.12f, 8, kEdge, parts::kNone, kMachinery);
}

void Spine(MeshBuilder& mesh)
{
    parts::BevelBox(mesh, {-0.35f, 1.0f, -7.0f}, {0.35f, 1.55f, -0.5f}, 0.12f, {kMachinery, kPanels, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {-1.35f, 0.95f, -6.2f}, {-0.6f, 1.3f, -3.0f}, 0.08f, {kVent, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {0.6f, 0.95f, -6.2f}, {1.35f, 1.3f, -3.0f}, 0.08f, {kVent, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {-0.9f, 1.0f, 5.4f}, {0.9f, 1.0f + 0.12f, 6.8f}, 0.06f, {kMarkings, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    // A tail fin, and the central exhaust.
    parts::Prism(mesh, {{-0.12f, 0, -7.4f}, {0.12f, 0, -7.4f}, {0.12f, 0, -4.2f}, {-0.12f, 0, -4.2f}}, 1.4f, 2.6f, 0.06f, {kEdge, kPanels, parts::kNone, kEdge, {0, 0, 1}});
    parts::Cylinder(mesh, {0, 0.3f, -8.4f}, {0, 0.3f, -7.5f}, 0.6f, 0.75f, kRoundSegments, kEdge, kEngine, parts::kNone);
    parts::Cylinder(mesh, {0, 0.3f, -8.4f - kPlumeLength}, {0, 0.3f, -8.4f}, 0.2f, 0.5f, kRoundSegments, kEngine, parts::kNone, parts::kNone);
}

ModelFile BuildModel(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    Fuselage(mesh);
    Cockpit(mesh);
    Spine(mesh);
    Wing(mesh);
    mesh.SetFrame(Frame::MirrorX());
    Wing(mesh);
    return CraftModel(mesh, kMaps, kShading);
}

}  // namespace

void MakeMainShip(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, 1.0f, kColours);
    AddMaps(assets, PaintSheet(sheet, ShipPalette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("main_ship.3df", ModelWriter::Write(BuildModel(sheet)));
}
