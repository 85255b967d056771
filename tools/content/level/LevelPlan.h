#pragma once

// Where things are along the level, in world units. The ship starts at z = 0 and scrolls along +z
// at 32 units a second; the play plane is y = 0 and the scenery stays below kTopY. The level
// script (data/content/teste.lvl) places its doors, boss and end trigger at these places.
namespace level_plan {

constexpr float kStartZ = -200.0f;        // the scenery begins here
constexpr float kEndZ = 5600.0f;          // and ends here, 800 past the end trigger
constexpr float kChunkLength = 200.0f;    // one 3DF object per material per chunk, for culling
constexpr float kTopY = -6.0f;            // highest point of the scenery
constexpr float kFloorY = -140.0f;        // the dim ground far below
constexpr float kFloorHalfWidth = 320.0f;

constexpr float kDoorZ[2] = {2000.0f, 3300.0f};
constexpr float kDoorSlotHalfDepth = 4.0f;  // the door's halves slide in z ∈ door ± this
constexpr float kDoorReach = 310.0f;        // and up to this far out in x
constexpr float kDoorTop = 16.0f;
constexpr float kDoorBottom = -70.0f;
constexpr float kBossZ = 4500.0f;         // where the boss stands (the script puts it 100 earlier)
constexpr float kArenaRadius = 185.0f;    // kept clear around the boss for its camera's sweep
constexpr float kEndTriggerZ = 4800.0f;

// The sections of the level, each in its own style.
constexpr float kLaunchDeckEnd = 900.0f;
constexpr float kRefineryEnd = kDoorZ[0];
constexpr float kReactorEnd = kDoorZ[1];
constexpr float kFoundryEnd = kBossZ - kArenaRadius;
constexpr float kArenaEnd = kBossZ + kArenaRadius;

}  // namespace level_plan
