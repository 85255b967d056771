#include <benchmark/benchmark.h>

#include <string>

#include "game/world/ScriptReader.h"
#include "game/world/SceneNode.h"
#include "game/world/World.h"

namespace {

class Body : public SceneNode {
public:
    void onCollision(World*, SceneNode*) override { ++hits; }
    int hits = 0;
};

// A frame's three passes over a flat tree of colliding bodies, as a busy level has them.
void BM_FramePasses(benchmark::State& state)
{
    World world;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* body = new Body;
        body->position = Vec4(static_cast<float>(i % 20) * 8.0f, 0.0f, static_cast<float>(i / 20) * 8.0f);
        body->radius = 5.0f;
        world.Attach(body);
    }
    for (auto _ : state) world.Step();
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FramePasses)->Arg(10)->Arg(50)->Arg(200);

// A cluster of bodies at one point, every one touching every other: a fan of shots fired in one
// frame, the worst case of the notices passed down the siblings.
void BM_OverlappingCluster(benchmark::State& state)
{
    World world;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* body = new Body;
        body->radius = 5.0f;
        world.Attach(body);
    }
    for (auto _ : state) world.Step();
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_OverlappingCluster)->Arg(10)->Arg(40)->Arg(100);

// Splitting a long level script into blocks.
void BM_ScriptSplit(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "Sentinel { position " + std::to_string(i) + " 200 wave True speed 2 } # note #\n";
    for (auto _ : state) {
        ScriptReader reader;
        reader.OpenText(text.data(), text.size());
        benchmark::DoNotOptimize(reader.Blocks().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ScriptSplit);

}  // namespace
