#include "tools/content/door/Door.h"

#include "tools/content/AssetSet.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/Keys.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0005;
constexpr int kSheetWidth = 512;  // pixels
constexpr float kSheetScale = 5.0f;
constexpr float kNormalStrength = 1.0f;
constexpr float kAmbientLift = 0.08f;
const MapNames kMaps{"door_hull.tga", "door_hull_n.jpg"};
const CraftColours kColours{{1.0f, 0.62f, 0.18f}, {1.0f, 0.5f, 0.15f}, {1.0f, 0.55f, 0.1f}, {0.62f, 0.45f, 0.08f}};

// Sizes in world units around the door's position; the ship flies at y = 0 within x = ±110.
constexpr float kHalfWidth = 152.0f;  // each half reaches from the middle to here
constexpr float kTop = 10.0f;
constexpr float kBottom = -46.0f;
constexpr float kThickness = 5.0f;
constexpr float kSlot = 118.0f;       // inner face of the pillars
constexpr float kSlide = 150.0f;      // how far each half travels
constexpr float kSillTop = kBottom - 2.0f;
constexpr float kStowedY = kSillTop - 14.0f;  // where the lock bars sink to, hidden behind the sill

// Timing, seconds: 31 keys make the 3.0 s track.
constexpr int kFrames = 31;
constexpr float kUnlock[2] = {0.0f, 0.7f};  // the lock bars pull out, then drop away
constexpr float kOpen[2] = {0.6f, 2.6f};

SheetPalette Palette()
{
    SheetPalette palette;
    palette.metal = {0.46f, 0.46f, 0.44f};
    palette.metalAlt = {0.34f, 0.34f, 0.33f};
    palette.paint = {0.62f, 0.46f, 0.10f};
    palette.wear = 0.65f;
    palette.dirt = 0.7f;
    palette.rustiness = 0.3f;
    palette.code = "G";
    return palette;
}

// The right half, built in place; the left one is its mirror image.
MeshBuilder Half(const TrimSheet& sheet, bool left)
{
    MeshBuilder mesh(&sheet);
    if (left) mesh.SetFrame(Frame::MirrorX());
    const float z = kThickness * 0.5f;
    parts::BevelBox(mesh, {0.0f, kBottom, -z}, {kHalfWidth, kTop, z}, 0.8f, {kPlates, kPlates, parts::kNone, kEdge, {1, 0, 0}});
    // The meeting edge: hazard stripes and interlocking teeth.
    parts::BevelBox(mesh, {0.0f, kBottom, -z - 1.0f}, {6.0f, kTop + 1.0f, z + 1.0f}, 0.5f, {kHazard, kHazard, parts::kNone, kEdge, {0, 1, 0}});
    // Ribs across the face towards the ship, lamps along the top, a band of numbers.
    for (float x : {30.0f, 70.0f, 110.0f})
        parts::BevelBox(mesh, {x, kBottom + 2.0f, -z - 1.5f}, {x + 6.0f, kTop - 1.0f, -z}, 0.6f, {kPanels, kPanels, parts::kNone, kEdge, {0, 1, 0}});
    parts::Beam(mesh, {8.0f, kTop + 0.3f, 0.0f}, {kHalfWidth - 4.0f, kTop + 0.3f, 0.0f}, 1.4f, 0.6f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {1, 0, 0}});
    parts::BevelBox(mesh, {8.0f, -14.0f, -z - 0.8f}, {kHalfWidth - 4.0f, -6.0f, -z}, 0.3f, {kMarkings, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    parts::BevelBox(mesh, {8.0f, -30.0f, -z - 0.8f}, {kHalfWidth - 4.0f, -26.0f, -z}, 0.3f, {kVent, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    return mesh;
}

// The fixed pillars the halves slide into, and a sill deep below.
MeshBuilder Pillars(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    for (bool left : {false, true}) {
        mesh.SetFrame(left ? Frame::MirrorX() : Frame{});
        for (float z : {-1.0f, 1.0f}) {
            const float z0 = z < 0 ? -14.0f : kThickness * 0.5f + 0.5f, z1 = z < 0 ? -kThickness * 0.5f - 0.5f : 14.0f;
            parts::BevelBox(mesh, {kSlot, kBottom - 6.0f, z0}, {kSlot + 26.0f, kTop + 6.0f, z1}, 1.2f, {kMachinery, kPlates, parts::kNone, kEdge, {0, 1, 0}});
            parts::Beam(mesh, {kSlot - 0.2f, kBottom, (z0 + z1) * 0.5f}, {kSlot - 0.2f, kTop + 4.0f, (z0 + z1) * 0.5f}, 1.2f, 2.0f, 0.0f,
                        {kGlow, kGlow, parts::kNone, kGlow, {0, 1, 0}}, {1, 0, 0});
        }
        parts::BevelBox(mesh, {kSlot + 2.0f, kTop + 6.0f, -12.0f}, {kSlot + 24.0f, kTop + 8.0f, 12.0f}, 0.8f, {kHazard, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    }
    mesh.SetFrame({});
    parts::BevelBox(mesh, {-kSlot, kSillTop - 22.0f, -16.0f}, {kSlot, kSillTop, 10.0f}, 1.0f, {kPanels, kHazard, parts::kNone, kEdge, {1, 0, 0}});
    return mesh;
}

// A lock bar across the seam, on the ship's side.
MeshBuilder LockBar(const TrimSheet& sheet, float y)
{
    MeshBuilder mesh(&sheet);
    parts::BevelBox(mesh, {-18.0f, y - 2.5f, -kThickness * 0.5f - 4.0f}, {18.0f, y + 2.5f, -kThickness * 0.5f - 1.5f}, 0.6f,
                    {kEdge, kHazard, parts::kNone, kEdge, {1, 0, 0}});
    parts::Beam(mesh, {-14.0f, y + 2.6f, -kThickness * 0.5f - 2.75f}, {14.0f, y + 2.6f, -kThickness * 0.5f - 2.75f}, 1.0f, 0.4f, 0.0f,
                {kGlow, kGlow, parts::kNone, kGlow, {1, 0, 0}});
    return mesh;
}

ModelFileObject Animated(const MeshBuilder& mesh, const std::function<keys::Pose(float)>& pose)
{
    ModelFileObject object = mesh.ToObject(0);
    keys::Animate(object, kFrames, pose);
    return object;
}

ModelFile BuildModel(const TrimSheet& sheet)
{
    ModelFile model;
    model.frameCount = kFrames;
    model.materials.push_back(MapMaterial(kMaps, true, kAmbientLift));
    model.objects.push_back(Pillars(sheet).ToObject(0));
    for (bool left : {false, true}) {
        const float side = left ? -1.0f : 1.0f;
        model.objects.push_back(Animated(Half(sheet, left), [side](float t) {
            return keys::Pose{{side * kSlide * keys::Ease(kOpen[0], kOpen[1], t), 0, 0}, {0, 0, 0}, 0.0f};
        }));
    }
    for (float y : {-4.0f, -34.0f}) {
        model.objects.push_back(Animated(LockBar(sheet, y), [y](float t) {
            // Pulled out of the seam, then sunk into the sill out of sight.
            const float pull = keys::Ease(kUnlock[0], kUnlock[0] + 0.4f, t);
            const float drop = keys::Ease(kUnlock[0] + 0.3f, kUnlock[1] + 0.5f, t);
            return keys::Pose{{0, (kStowedY - y) * drop, -2.0f * pull}, {0, 0, 0}, 0.0f};
        }));
    }
    return model;
}

}  // namespace

void MakeDoor(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, kSheetScale, kColours);
    AddMaps(assets, PaintSheet(sheet, Palette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("door.3df", ModelWriter::Write(BuildModel(sheet)));
}
