#include "tools/content/level/Level.h"

#include <cstdio>

#include "tools/content/AssetSet.h"
#include "tools/content/kit/MaterialMaps.h"
#include "tools/content/level/LevelLayout.h"
#include "tools/content/level/LevelMaterials.h"
#include "tools/content/level/LevelPlan.h"
#include "tools/content/level/Scenery.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

constexpr uint32_t kSeed = 0x5EED0010;
constexpr int kLoopKeys = 481;          // 48 s: the intro flight, and every animated part and light
constexpr int kGroundSize = 512;        // pixels
constexpr float kHullNormalStrength = 1.0f;
constexpr float kGroundNormalStrength = 0.8f;
constexpr float kHullAmbient = 0.05f;   // added to the renderer's ambient
constexpr float kGroundAmbient = 0.0f;
const MapNames kHullMaps{"level_hull.tga", "level_hull_n.jpg"};
const MapNames kGroundMaps{"level_ground.jpg", "level_ground_n.jpg"};

}  // namespace

void MakeLevel(AssetSet& assets)
{
    const TrimSheet sheet = LevelSheet();
    AddMaps(assets, PaintSheet(sheet, LevelPalette(), kSeed), kHullMaps, true, kHullNormalStrength);
    AddMaps(assets, PaintGround(kGroundSize, kSeed + 1), kGroundMaps, false, kGroundNormalStrength);

    Scenery scenery(&sheet, kGroundTile, level_plan::kStartZ, level_plan::kEndZ, level_plan::kChunkLength, kLoopKeys);
    BuildScenery(scenery);
    PlaceLights(scenery);
    AddIntroCamera(scenery);
    const ModelFile model = scenery.ToModel({MapMaterial(kHullMaps, true, kHullAmbient), MapMaterial(kGroundMaps, false, kGroundAmbient)});
    assets.Add("level.3df", ModelWriter::Write(model));
}
