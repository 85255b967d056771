// Load times of the game's generated data as the game reads it from "data.qzr": the title screen's
// scenery with its textures, and each model a level play loads, on the null device (decoding,
// mesh preparation and texture creation, without a driver). "Cold" copies the archive to a fresh
// file first, so that the reader's solid-archive checkpoints from earlier reads do not help.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/device/NullDevice.h"
#include "engine/platform/ResourceFile.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"

namespace {

const std::string kArchive = std::string(HARN_BINARY_DIR) + "/data.qzr";

std::string FreshCopy()
{
    static int counter = 0;
    const std::string copy = "/tmp/harn_bench_qzr_" + std::to_string(getpid()) + "_" + std::to_string(counter++ % 2);
    std::filesystem::copy_file(kArchive, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

void LoadModel(benchmark::State& state, const char* name, bool cold)
{
    if (!std::filesystem::exists(kArchive)) {
        state.SkipWithError("data.qzr has not been built");
        return;
    }
    NullDevice device;
    ScopedCurrentDevice current(&device);
    std::string path = kArchive;
    uint32_t objects = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            path = FreshCopy();
            state.ResumeTiming();
        }
        ArchivePath = path.c_str();
        SceneModel model;
        if (!model.Load(name)) state.SkipWithError("the model did not load");
        objects = model.Objects().Count();
        TextureCache::Clear();
    }
    ArchivePath = nullptr;
    state.counters["objects"] = objects;
}

void BM_TitleScenery_Cold(benchmark::State& state) { LoadModel(state, "level.3df", true); }
void BM_TitleScenery_Warm(benchmark::State& state) { LoadModel(state, "level.3df", false); }
void BM_Ship_Cold(benchmark::State& state) { LoadModel(state, "main_ship.3df", true); }
void BM_Boss_Cold(benchmark::State& state) { LoadModel(state, "Boss.3df", true); }
void BM_Door_Cold(benchmark::State& state) { LoadModel(state, "door.3df", true); }

}  // namespace

BENCHMARK(BM_TitleScenery_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleScenery_Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ship_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Boss_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Door_Cold)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
