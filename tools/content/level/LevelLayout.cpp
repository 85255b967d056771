#include "tools/content/level/LevelLayout.h"
#include "tools/content/kit/Vec3.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/content/level/LevelMaterials.h"
#include "tools/content/level/LevelPlan.h"
#include "tools/content/level/Props.h"

namespace {

using namespace level_plan;
constexpr float kPi = 3.14159265358979f;
constexpr uint32_t kSeed = 0x5EED0100;

// Both walls of a section; the track between them stays open.
void Walls(Scenery& scenery, float z0, float z1, float inner, float outer, float top, int face, int lamp)
{
    props::Wall(scenery, -1.0f, z0, z1, inner, outer, top, face, lamp);
    props::Wall(scenery, 1.0f, z0, z1, inner, outer, top, face, lamp);
}

// A calm start: the ship leaves a launch deck between lit walls; an open shaft in the deck shows
// the depth below, then the deck ends over the first machinery.
void LaunchDeck(Scenery& scenery, Random& random)
{
    const float z0 = kStartZ, z1 = kLaunchDeckEnd;
    Walls(scenery, z0, z1, 104.0f, 180.0f, -8.0f, kPlates, kGlowCyan);
    props::Deck(scenery, -95.0f, 95.0f, z0, 140.0f, -58.0f, kGlowCyan);
    props::Deck(scenery, -95.0f, 95.0f, 260.0f, 520.0f, -58.0f, kGlowCyan);
    for (float z : {60.0f, 300.0f, 460.0f, 700.0f, 860.0f}) props::Catwalk(scenery, z, -22.0f, -104.0f, 104.0f, kGlowAmber);
    // Cargo and machinery parked on the deck.
    for (float z : {-150.0f, -20.0f, 100.0f, 290.0f, 410.0f, 490.0f}) {
        const float side = (static_cast<int>(z + 1000.0f) / 10) % 2 == 0 ? 1.0f : -1.0f;
        props::Block(scenery, side * random.Range(55.0f, 75.0f), z, random.Range(8.0f, 14.0f), random.Range(8.0f, 16.0f), random.Range(-50.0f, -40.0f), random, -58.0f);
    }
    props::Fan(scenery, 0.0f, 200.0f, -96.0f, 26.0f, 3);
    for (float x : {-70.0f, 70.0f}) props::Block(scenery, x, 200.0f, 16.0f, 30.0f, -100.0f, random);
    props::PipeRun(scenery, -75.0f, -124.0f, 520.0f, z1, 4.0f, 3, 10.0f);
    props::PipeRun(scenery, 50.0f, -124.0f, 520.0f, z1, 4.0f, 3, 10.0f);
    for (float z : {600.0f, 820.0f}) {
        props::Tower(scenery, -86.0f, z, 10.0f, -30.0f);
        props::Tower(scenery, 86.0f, z + 90.0f, 10.0f, -34.0f);
    }
    props::Block(scenery, 0.0f, 620.0f, 24.0f, 30.0f, -90.0f, random);
    props::Gantry(scenery, 740.0f, -32.0f, 108.0f, 2, 0.0f);
}

// Rusty pipes and tanks in a narrow canyon, catwalks overhead.
void Refinery(Scenery& scenery, Random& random)
{
    const float z0 = kLaunchDeckEnd, z1 = kDoorZ[0] - 26.0f;
    Walls(scenery, z0, z1, 100.0f, 180.0f, -10.0f, kRust, kGlowAmber);
    props::PipeRun(scenery, -92.0f, -128.0f, z0, z1, 4.0f, 3, 10.0f);
    props::PipeRun(scenery, 72.0f, -128.0f, z0, z1, 4.0f, 3, 10.0f);
    props::PipeRun(scenery, -36.0f, -62.0f, 1100.0f, 1900.0f, 6.0f, 2, 14.0f);
    const float tanks[][4] = {{-58.0f, 1050.0f, 28.0f, -46.0f}, {58.0f, 1310.0f, 24.0f, -56.0f}, {-54.0f, 1560.0f, 26.0f, -42.0f}, {56.0f, 1810.0f, 22.0f, -52.0f}};
    for (const auto& t : tanks) props::Tank(scenery, t[0], t[1], t[2], t[3], kGlowAmber);
    for (float z : {1000.0f, 1200.0f, 1430.0f, 1660.0f, 1890.0f}) props::Catwalk(scenery, z, -20.0f, -105.0f, 105.0f, kGlowAmber);
    for (float z = 980.0f; z < z1 - 40.0f; z += 130.0f) {
        const float x = (static_cast<int>(z) / 130) % 2 == 0 ? 30.0f : -26.0f;
        props::Block(scenery, x, z + 40.0f, random.Range(10.0f, 16.0f), random.Range(12.0f, 22.0f), random.Range(-110.0f, -80.0f), random);
    }
    props::Fan(scenery, 6.0f, 1180.0f, -74.0f, 14.0f, 4);
    props::Fan(scenery, -6.0f, 1700.0f, -78.0f, 12.0f, 5);
}

// A wide field of cooling towers around a glowing channel, lit teal.
void Reactor(Scenery& scenery, Random& random)
{
    const float z0 = kDoorZ[0] + 26.0f, z1 = kDoorZ[1] - 26.0f;
    Walls(scenery, z0, z1, 118.0f, 190.0f, -30.0f, kPanels, kGlowTeal);
    props::Channel(scenery, 0.0f, z0 + 60.0f, z1 - 60.0f, 6.0f, kGlowTeal);
    const float towers[][4] = {{-70.0f, 2200.0f, 34.0f, -40.0f}, {76.0f, 2460.0f, 30.0f, -46.0f}, {-76.0f, 2760.0f, 36.0f, -38.0f}, {72.0f, 3060.0f, 32.0f, -42.0f}};
    for (const auto& t : towers) props::CoolingTower(scenery, t[0], t[1], t[2], t[3]);
    for (float z : {2330.0f, 2610.0f, 2910.0f, 3180.0f}) props::Catwalk(scenery, z, -18.0f, -125.0f, 125.0f, kGlowTeal);
    for (float z : {2360.0f, 2860.0f}) {
        props::Tower(scenery, -104.0f, z, 10.0f, -22.0f);
        props::Tower(scenery, 104.0f, z + 120.0f, 10.0f, -26.0f);
    }
    const float cores[][2] = {{38.0f, 2300.0f}, {-36.0f, 2560.0f}, {40.0f, 2880.0f}, {-34.0f, 3170.0f}};
    for (const auto& c : cores) props::ReactorCore(scenery, c[0], c[1], 13.0f, -70.0f);
    for (float z : {2420.0f, 3000.0f}) props::CrossPipe(scenery, z, -92.0f, 118.0f, 4.0f);
    props::Clutter(scenery, z0 + 20.0f, z1 - 20.0f, 14.0f, 112.0f, 90, random);
}

// Girders with travelling cranes over a molten channel, furnaces either side, lit red.
void Foundry(Scenery& scenery, Random& random)
{
    const float z0 = kDoorZ[1] + 26.0f, z1 = kFoundryEnd;
    Walls(scenery, z0, z1, 104.0f, 180.0f, -8.0f, kRust, kGlowRed);
    props::Channel(scenery, 0.0f, z0 + 20.0f, z1 - 20.0f, 9.0f, kGlowAmber);
    const float furnaces[][2] = {{-70.0f, 3460.0f}, {70.0f, 3660.0f}, {-70.0f, 3910.0f}, {70.0f, 4150.0f}};
    for (const auto& f : furnaces) props::Furnace(scenery, f[0], f[1], 18.0f, -30.0f);
    const float gantries[] = {3560.0f, 3800.0f, 4040.0f};
    for (int i = 0; i < 3; ++i) props::Gantry(scenery, gantries[i], -26.0f, 108.0f, 2 + i, 0.3f * static_cast<float>(i));
    props::PipeRun(scenery, -96.0f, -120.0f, z0, z1, 3.5f, 2, 8.0f);
    props::PipeRun(scenery, 88.0f, -120.0f, z0, z1, 3.5f, 2, 8.0f);
    for (float z = 3380.0f; z < z1 - 40.0f; z += 120.0f) {
        const float side = (static_cast<int>(z) / 120) % 2 == 0 ? 1.0f : -1.0f;
        props::Block(scenery, side * 40.0f, z + 50.0f, 8.0f, 14.0f, random.Range(-120.0f, -100.0f), random);
    }
    props::Clutter(scenery, z0 + 20.0f, z1 - 20.0f, 22.0f, 100.0f, 60, random);
}

// Past the boss: a broad hall winding down, the end credits over it.
void Exit(Scenery& scenery, Random& random)
{
    const float z0 = kArenaEnd, z1 = kEndZ;
    Walls(scenery, z0, z1, 112.0f, 185.0f, -12.0f, kPlates, kGlowCyan);
    props::Deck(scenery, -60.0f, 60.0f, 4900.0f, z1, -72.0f, kGlowCyan);
    for (float z : {4810.0f, 5010.0f, 5210.0f, 5410.0f}) props::Catwalk(scenery, z, -24.0f, -112.0f, 112.0f, kGlowCyan);
    props::PipeRun(scenery, -100.0f, -126.0f, z0, z1, 4.0f, 2, 10.0f);
    props::PipeRun(scenery, 90.0f, -126.0f, z0, z1, 4.0f, 2, 10.0f);
    for (float z : {4760.0f, 5100.0f, 5450.0f}) {
        props::Tower(scenery, -96.0f, z, 10.0f, -28.0f);
        props::Tower(scenery, 96.0f, z + 150.0f, 10.0f, -30.0f);
    }
    props::Block(scenery, 0.0f, 4880.0f, 30.0f, 40.0f, -96.0f, random);
    props::Clutter(scenery, z0 + 20.0f, z1 - 20.0f, 62.0f, 110.0f, 60, random);
}

}  // namespace

void BuildScenery(Scenery& scenery)
{
    Random random(kSeed);
    props::Ground(scenery, kStartZ, kEndZ, kFloorHalfWidth, kFloorY);
    LaunchDeck(scenery, random);
    Refinery(scenery, random);
    props::Bulkhead(scenery, kDoorZ[0]);
    Reactor(scenery, random);
    props::Bulkhead(scenery, kDoorZ[1]);
    Foundry(scenery, random);
    props::Arena(scenery, kBossZ);
    Exit(scenery, random);
}

namespace {

// Pulses between low and full over whole cycles of the loop, so that the loop stays seamless.
std::function<V3(float)> Pulse(const V3& colour, int cycles, float low, float loop, float phase)
{
    return [=](float t) {
        const float s = 0.5f + 0.5f * Cosine(2.0f * kPi * (t / loop * static_cast<float>(cycles) + phase));
        return colour * (low + (1.0f - low) * s);
    };
}

}  // namespace

void PlaceLights(Scenery& scenery)
{
    // One light over the middle of every chunk, so that no chunk is drawn for more than three of
    // them; colour, height and movement follow the section.
    const float loop = keys::TimeOf(scenery.Frames() - 1);
    const V3 cyan{0.35f, 0.8f, 1.0f}, amber{1.0f, 0.55f, 0.2f}, teal{0.2f, 0.95f, 0.75f}, red{1.0f, 0.22f, 0.12f}, magenta{0.9f, 0.2f, 0.7f};
    auto fixed = [](float radius) { return [radius](float) { return radius; }; };
    auto still = [](const V3& p) { return [p](float) { return p; }; };
    constexpr float kRadius = 250.0f;
    int index = 0;
    for (float z = kStartZ + kChunkLength * 0.5f; z < kEndZ; z += kChunkLength, ++index) {
        const float side = index % 2 == 0 ? -1.0f : 1.0f;
        const bool byDoor = std::fabs(z - kDoorZ[0]) <= kChunkLength * 0.5f || std::fabs(z - kDoorZ[1]) <= kChunkLength * 0.5f;
        if (byDoor) {
            // The doors are framed in amber.
            scenery.AddLight(amber, {0.0f, -10.0f, z}, kRadius);
        } else if (z < kLaunchDeckEnd) {
            if (index == 2) scenery.AddLight({Pulse(cyan, 4, 0.35f, loop, 0.0f), still({0, -8.0f, z}), fixed(kRadius)});
            else if (index == 4) scenery.AddLight({still(cyan), [z, loop](float t) { return V3{70.0f * Sine(2.0f * kPi * 2.0f * t / loop), -12.0f, z}; }, fixed(kRadius)});
            else scenery.AddLight(index % 3 == 2 ? amber : cyan, {side * 35.0f, -10.0f, z}, kRadius);
        } else if (z < kRefineryEnd) {
            if (index % 4 == 1) scenery.AddLight({Pulse(amber, 24, 0.55f, loop, 0.1f), still({side * 30.0f, -14.0f, z}), fixed(kRadius)});
            else scenery.AddLight(index % 5 == 0 ? red : amber, {side * 30.0f, -12.0f, z}, kRadius);
        } else if (z < kReactorEnd) {
            if (index % 3 == 0) scenery.AddLight({Pulse(teal, 3, 0.3f, loop, 0.5f), still({0.0f, -30.0f, z}), fixed(kRadius)});
            else scenery.AddLight(index % 4 == 1 ? cyan : teal, {side * 45.0f, -45.0f, z}, kRadius);
        } else if (z < kFoundryEnd) {
            if (index % 2 == 0) scenery.AddLight({Pulse(amber, 16, 0.6f, loop, 0.0f), still({0.0f, -60.0f, z}), fixed(kRadius)});
            else scenery.AddLight(red, {side * 40.0f, -35.0f, z}, kRadius);
        } else if (z < kArenaEnd) {
            // The arena: red round the boss's pedestal, the middle one breathing magenta.
            if (std::fabs(z - kBossZ) < kChunkLength * 0.5f) scenery.AddLight({Pulse(magenta, 5, 0.4f, loop, 0.0f), still({0.0f, -30.0f, z}), fixed(kRadius)});
            else scenery.AddLight(red, {side * 70.0f, -20.0f, z}, kRadius);
        } else {
            // The way out: cold and calm again.
            scenery.AddLight(cyan * 0.85f, {side * 40.0f, -12.0f, z}, kRadius);
        }
    }
}

namespace {

// The flight of the title screen: a closed loop through the launch deck and the refinery, out
// along the right wall and back.
const V3 kFlightPath[] = {{-10, -12, -60}, {-40, -12, 300}, {-20, -13, 700}, {-30, -12, 1050}, {10, -8, 1360},
                          {55, -4, 1150},  {45, -5, 700},   {50, -4, 300},   {30, -6, -120}};

// A point on the closed Catmull-Rom curve through the path, s from 0 to the point count.
V3 OnLoop(float s)
{
    const int count = static_cast<int>(std::size(kFlightPath));
    const int i = static_cast<int>(std::floor(s));
    const float t = s - static_cast<float>(i);
    auto at = [&](int k) { return kFlightPath[((k % count) + count) % count]; };
    const V3 p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    return 0.5f * ((2.0f * p1) + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * (t * t) + (p1 * 3.0f - p0 - p2 * 3.0f + p3) * (t * t * t));
}

}  // namespace

void AddIntroCamera(Scenery& scenery)
{
    // Arc length along the loop, sampled finely, so that the flight keeps an even speed.
    const int count = static_cast<int>(std::size(kFlightPath));
    constexpr int kSamples = 4000;
    std::vector<float> length(kSamples + 1, 0.0f);
    for (int i = 1; i <= kSamples; ++i) {
        const float a = static_cast<float>(count) * static_cast<float>(i - 1) / kSamples, b = static_cast<float>(count) * static_cast<float>(i) / kSamples;
        length[i] = length[i - 1] + Length(OnLoop(b) - OnLoop(a));
    }
    auto atDistance = [&](float d) {
        d = std::fmod(d, length.back());
        if (d < 0.0f) d += length.back();
        const size_t i = static_cast<size_t>(std::lower_bound(length.begin(), length.end(), d) - length.begin());
        return OnLoop(static_cast<float>(count) * static_cast<float>(std::min<size_t>(i, kSamples)) / kSamples);
    };
    const float loop = keys::TimeOf(scenery.Frames() - 1);
    scenery.AddCamera(keys::Camera("introCam", scenery.Frames(), [&](float t) {
        const float d = length.back() * t / loop;
        const V3 eye = atDistance(d);
        // Looking ahead and down, so that the lower half of the picture holds the scenery.
        const V3 ahead = atDistance(d + 90.0f);
        return keys::Shot{eye, ahead + V3{0, -48.0f, 0}, 0.95f};
    }));
}
