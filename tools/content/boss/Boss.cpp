#include "tools/content/boss/Boss.h"
#include "tools/content/kit/Vec3.h"

#include <cmath>

#include "tools/content/AssetSet.h"
#include "tools/content/CraftSheet.h"
#include "tools/content/kit/Keys.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/kit/Parts.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0004;
constexpr int kSheetWidth = 512;  // pixels
constexpr float kSheetScale = 3.5f;
constexpr float kNormalStrength = 1.0f;
constexpr float kAmbientLift = 0.1f;
const MapNames kMaps{"boss_hull.tga", "boss_hull_n.jpg"};
const CraftColours kColours{{1.0f, 0.12f, 0.3f}, {1.0f, 0.3f, 0.5f}, {1.0f, 0.2f, 0.15f}, {0.4f, 0.05f, 0.06f}};

constexpr float kPi = 3.14159265358979f;

// Sizes in model units. The game draws the model 80 units below the boss, so the play plane is at
// y = 80 and everything must stay below y = 75.
constexpr float kBaseOuter = 43.0f;
constexpr float kBaseInner = 20.0f;
constexpr float kBaseTop = 14.0f;
constexpr int kSectors = 8;
constexpr int kArms = 4;
constexpr float kArmHinge = 17.0f;   // radius of the arms' hinges
constexpr float kArmLength = 25.0f;
constexpr int kPetals = 6;
constexpr float kPetalHinge = 9.0f;  // radius of the petals' hinges on the core
constexpr float kCoreRest = -27.0f;  // the core's rise, from hidden to standing
constexpr float kCoreUp = kBaseTop;

// Timing of the intro, seconds. The fight holds the pose from kFightPose on.
constexpr int kFrames = 86;          // 8.5 s
constexpr float kSweepStartHeight = 210.0f;  // model units: the camera's height as the sweep begins
constexpr float kFightPose = 7.9f;
constexpr float kCoreRise[2] = {0.6f, 3.6f};
constexpr float kArmsUnfold[2] = {2.6f, 5.6f};
constexpr float kPetalsOpen[2] = {5.0f, 7.2f};
constexpr float kRingSpin[2] = {1.0f, 7.6f};
constexpr float kArmFolded = -1.25f;   // radians: tips raised
constexpr float kPetalClosed = -0.85f; // radians: leaning in over the eye
constexpr float kPetalOpen = 0.45f;

// The camera's hand-over: at kFightPose it is exactly where the ship's camera will be.
const V3 kHandOverEye{0.0f, 280.0f, -1.0f};
const V3 kHandOverTarget{0.0f, 80.0f, 0.0f};
constexpr float kHandOverFieldOfView = kPi * 0.25f;

SheetPalette Palette()
{
    SheetPalette palette;
    palette.metal = {0.40f, 0.38f, 0.40f};
    palette.metalAlt = {0.28f, 0.26f, 0.29f};
    palette.paint = {0.50f, 0.07f, 0.08f};
    palette.hazardA = {0.78f, 0.10f, 0.08f};
    palette.rust = {0.35f, 0.12f, 0.06f};
    palette.wear = 0.55f;
    palette.dirt = 0.65f;
    palette.rustiness = 0.25f;
    palette.code = "BR";
    return palette;
}

Frame Upright() { return {{}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}}; }

float Heading(int index, int count, float offset) { return 2.0f * kPi * (static_cast<float>(index) + offset) / static_cast<float>(count); }

// The fixed ring of armoured sectors the rest stands on.
MeshBuilder Base(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    Random random(kSeed + 1);
    const float half = kPi / kSectors * 0.92f;
    for (int i = 0; i < kSectors; ++i) {
        mesh.SetFrame(Frame::TurnedY({}, Heading(i, kSectors, 0.0f)));
        const float s = Sine(half), c = Cosine(half);
        parts::Prism(mesh, {{-s * kBaseInner, 0, c * kBaseInner}, {s * kBaseInner, 0, c * kBaseInner}, {s * kBaseOuter, 0, c * kBaseOuter}, {-s * kBaseOuter, 0, c * kBaseOuter}},
                     0.0f, kBaseTop, 1.2f, {kPlates, kPanels, parts::kNone, kEdge, {1, 0, 0}});
        parts::BevelBox(mesh, {-5.5f, kBaseTop, 25.0f}, {5.5f, kBaseTop + 1.5f, 34.0f}, 0.5f, {kVent, kEdge, parts::kNone, kEdge, {1, 0, 0}});
        parts::Beam(mesh, {-s * (kBaseInner + 1.5f), kBaseTop + 0.2f, c * (kBaseInner + 1.5f)}, {s * (kBaseInner + 1.5f), kBaseTop + 0.2f, c * (kBaseInner + 1.5f)},
                    1.0f, 0.5f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {1, 0, 0}});
        parts::Beam(mesh, {-s * (kBaseOuter - 2.0f), kBaseTop + 0.1f, c * (kBaseOuter - 2.0f)}, {s * (kBaseOuter - 2.0f), kBaseTop + 0.1f, c * (kBaseOuter - 2.0f)},
                    2.5f, 0.3f, 0.0f, {kHazard, kEdge, parts::kNone, kEdge, {1, 0, 0}});
        parts::Greebles(mesh, -7.0f, 7.0f, 35.5f, 39.0f, kBaseTop, 4, 2.5f, random, {kMachinery, kEdge, parts::kNone, kEdge, {1, 0, 0}});
        // A skirt of buttresses spreading the silhouette.
        parts::Prism(mesh, {{-4.0f, 0, kBaseOuter - 1.0f}, {4.0f, 0, kBaseOuter - 1.0f}, {2.5f, 0, kBaseOuter + 3.8f}, {-2.5f, 0, kBaseOuter + 3.8f}},
                     0.0f, 7.0f, 0.8f, {kPanels, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    }
    return mesh;
}

// The core: a domed tower with the eye on top, built standing on its own origin.
MeshBuilder Core(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    mesh.SetFrame(Upright());
    const float profile[][2] = {{0.0f, 15.0f}, {18.0f, 16.0f}, {26.0f, 13.5f}, {31.0f, 10.0f}, {35.0f, 6.0f}};
    std::vector<parts::Ring> rings;
    for (const auto& p : profile) rings.push_back({p[0], parts::EllipseOutline(16, p[1], p[1])});
    parts::Loft(mesh, rings, {kPlates, kPanels}, kEngine, parts::kNone);
    mesh.SetFrame({});
    parts::Cylinder(mesh, {0, 34.0f, 0}, {0, 40.0f, 0}, 6.5f, 4.0f, 16, kEdge, parts::kNone, kEngine);
    for (int i = 0; i < 8; ++i) {
        mesh.SetFrame(Frame::TurnedY({}, Heading(i, 8, 0.5f)));
        parts::Beam(mesh, {0, 4.0f, 15.6f}, {0, 17.0f, 16.4f}, 1.2f, 0.8f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {0, 1, 0}}, {0, 0, 1});
    }
    return mesh;
}

// The ring that spins round the core as it wakes; emitters on it make the spin visible.
MeshBuilder Ring(const TrimSheet& sheet)
{
    MeshBuilder mesh(&sheet);
    mesh.SetFrame(Upright());
    parts::Loft(mesh, {{0.0f, parts::EllipseOutline(24, 25.0f, 25.0f)}, {3.0f, parts::EllipseOutline(24, 24.0f, 24.0f)},
                       {3.0f, parts::EllipseOutline(24, 20.5f, 20.5f)}},
                {kPanels}, parts::kNone, parts::kNone);
    mesh.SetFrame({});
    for (int i = 0; i < 6; ++i) {
        mesh.SetFrame(Frame::TurnedY({}, Heading(i, 6, 0.0f)));
        parts::BevelBox(mesh, {-2.5f, 2.5f, 20.5f}, {2.5f, 5.0f, 25.5f}, 0.5f, {kMachinery, kEdge, parts::kNone, kEdge, {1, 0, 0}});
        parts::Beam(mesh, {-1.5f, 5.1f, 23.0f}, {1.5f, 5.1f, 23.0f}, 1.0f, 0.3f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {1, 0, 0}});
    }
    return mesh;
}

// One arm, built outwards along its heading from its hinge at the origin, ending in a
// twin-barrelled turret.
MeshBuilder Arm(const TrimSheet& sheet, float heading, uint32_t seed)
{
    MeshBuilder mesh(&sheet);
    mesh.SetFrame(Frame::TurnedY({}, heading));
    Random random(seed);
    parts::BevelBox(mesh, {-4.5f, -2.0f, -2.0f}, {4.5f, 5.0f, kArmLength - 6.0f}, 1.0f, {kPlates, kPanels, parts::kNone, kEdge, {0, 0, 1}});
    parts::BevelBox(mesh, {-2.0f, 5.0f, 2.0f}, {2.0f, 6.2f, kArmLength - 9.0f}, 0.4f, {kGlow, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Greebles(mesh, -4.0f, 4.0f, 0.0f, 4.0f, 5.0f, 3, 2.2f, random, {kMachinery, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    // Turret: a drum with two barrels reaching past the base's rim.
    parts::Cylinder(mesh, {0, -2.0f, kArmLength - 4.0f}, {0, 7.0f, kArmLength - 4.0f}, 6.0f, 5.0f, 14, kPanels, parts::kNone, kMachinery);
    for (float x : {-2.0f, 2.0f}) {
        parts::Cylinder(mesh, {x, 4.0f, kArmLength - 2.0f}, {x, 4.0f, kArmLength + 6.0f}, 1.1f, 0.8f, 8, kEdge, parts::kNone, kEngine);
    }
    parts::BevelBox(mesh, {-6.0f, 1.0f, kArmLength - 10.0f}, {6.0f, 3.0f, kArmLength - 7.0f}, 0.4f, {kHazard, kEdge, parts::kNone, kEdge, {1, 0, 0}});
    return mesh;
}

// A petal of the core's armour, built outwards along its heading from its hinge at the origin.
MeshBuilder Petal(const TrimSheet& sheet, float heading)
{
    MeshBuilder mesh(&sheet);
    mesh.SetFrame(Frame::TurnedY({}, heading));
    parts::Prism(mesh, {{-3.0f, 0, 0.0f}, {3.0f, 0, 0.0f}, {5.0f, 0, 11.0f}, {0.0f, 0, 14.0f}, {-5.0f, 0, 11.0f}}, -0.8f, 1.2f, 0.5f,
                 {kPlates, kEdge, parts::kNone, kEdge, {0, 0, 1}});
    parts::Beam(mesh, {0, 1.3f, 2.0f}, {0, 1.3f, 11.0f}, 0.9f, 0.3f, 0.0f, {kGlow, kGlow, parts::kNone, kGlow, {0, 0, 1}});
    return mesh;
}

float CoreHeight(float t) { return kCoreRest + (kCoreUp - kCoreRest) * keys::Ease(kCoreRise[0], kCoreRise[1], std::min(t, kFightPose)); }

keys::Pose CorePose(float t) { return {{0, CoreHeight(t), 0}, {0, 0, 0}, 0.0f}; }

keys::Pose RingPose(float t)
{
    const float spin = 4.0f * kPi * keys::Ease(kRingSpin[0], kRingSpin[1], std::min(t, kFightPose));
    return {{0, CoreHeight(t) + 8.0f, 0}, {0, 1, 0}, spin};
}

keys::Pose ArmPose(int arm, float t)
{
    const float heading = Heading(arm, kArms, 0.5f);
    const float fold = kArmFolded * (1.0f - keys::Ease(kArmsUnfold[0], kArmsUnfold[1], std::min(t, kFightPose)));
    // The arm's mesh is turned to its heading; its hinge runs along that turn's x axis.
    return {{Sine(heading) * kArmHinge, kBaseTop + 2.0f, Cosine(heading) * kArmHinge}, {Cosine(heading), 0, -Sine(heading)}, fold};
}

keys::Pose PetalPose(int petal, float t)
{
    const float heading = Heading(petal, kPetals, 0.0f);
    const float open = kPetalClosed + (kPetalOpen - kPetalClosed) * keys::Ease(kPetalsOpen[0], kPetalsOpen[1], std::min(t, kFightPose));
    return {{Sine(heading) * kPetalHinge, CoreHeight(t) + 29.0f, Cosine(heading) * kPetalHinge}, {Cosine(heading), 0, -Sine(heading)}, open};
}

ModelFileObject Animated(const MeshBuilder& mesh, const std::function<keys::Pose(float)>& pose)
{
    ModelFileObject object = mesh.ToObject(0);
    keys::Animate(object, kFrames, pose);
    return object;
}

// A dramatic sweep: from low in front of the boss, once round it while climbing, then up over it
// to the hand-over pose, held from kFightPose to the end of the track.
keys::Shot CameraShot(float t)
{
    const float s = keys::Ease(0.0f, kFightPose, t);
    const float azimuth = -kPi * 0.5f + 2.0f * kPi * (1.0f - s) * 0.75f;  // ends on −z, as the ship's camera
    // Wide for most of the turn, then in and up: the eye stays outside the boss throughout, and
    // high enough from the start that the view falls on the arena floor rather than over the
    // scenery's far edge into the empty sky.
    const float radius = 1.0f + 150.0f * static_cast<float>(std::pow(1.0 - s, 1.3));
    const float height = kSweepStartHeight +
                         (kHandOverEye.y - kSweepStartHeight) * static_cast<float>(std::pow(static_cast<double>(s), 2.2));
    const float fieldOfView = 1.05f + (kHandOverFieldOfView - 1.05f) * s;
    keys::Shot shot{{Cosine(azimuth) * radius, height, Sine(azimuth) * radius}, {0, 40.0f + 40.0f * s, 0}, fieldOfView};
    if (t >= kFightPose) shot = {kHandOverEye, kHandOverTarget, kHandOverFieldOfView};
    return shot;
}

ModelFile BuildModel(const TrimSheet& sheet)
{
    ModelFile model;
    model.frameCount = kFrames;
    model.materials.push_back(MapMaterial(kMaps, true, kAmbientLift));
    model.objects.push_back(Base(sheet).ToObject(0));
    model.objects.push_back(Animated(Core(sheet), CorePose));
    model.objects.push_back(Animated(Ring(sheet), RingPose));
    for (int i = 0; i < kArms; ++i)
        model.objects.push_back(Animated(Arm(sheet, Heading(i, kArms, 0.5f), kSeed + 10 + static_cast<uint32_t>(i)), [i](float t) { return ArmPose(i, t); }));
    for (int i = 0; i < kPetals; ++i)
        model.objects.push_back(Animated(Petal(sheet, Heading(i, kPetals, 0.0f)), [i](float t) { return PetalPose(i, t); }));
    model.cameras.push_back(keys::Camera("Camera01", kFrames, CameraShot));
    return model;
}

}  // namespace

void MakeBoss(AssetSet& assets)
{
    const TrimSheet sheet = CraftSheet(kSheetWidth, kSheetScale, kColours);
    AddMaps(assets, PaintSheet(sheet, Palette(), kSeed), kMaps, true, kNormalStrength);
    assets.Add("Boss.3df", ModelWriter::Write(BuildModel(sheet)));
}
