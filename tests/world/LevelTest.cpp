#include "game/world/Level.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "Probes.h"
#include "engine/device/NullDevice.h"
#include "engine/platform/Log.h"
#include "engine/platform/PerformanceCounter.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/Particle.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

using Events = std::vector<std::string>;

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ArchivePath = nullptr;
        world_.game = &progress_;
        world_.RegisterPrototype("Probe", new ProbeNode(&journal_, "probe"));
    }

    void LoadScript(const std::string& text)
    {
        std::ofstream(script_) << text;
        level_.LoadScript(&world_, script_.c_str());
    }

    Journal journal_;
    World world_;
    FixedProgress progress_;
    Level level_;
    TempFolder folder_{"level"};
    const std::string script_ = folder_ / "script.lvl";
};

TEST_F(LevelTest, CreatesLoadsAndParsesEveryKnownBlockInScriptOrder)
{
    Events reports;
    Log::SetListener([&](int level, const std::string& text) {
        if (level == 2) reports.push_back(text);
    });
    LoadScript("Probe { position 1 100 } Ghost { position 0 0 } Probe { colour 3 position 2 50 }\n");
    Log::SetListener(nullptr);
    ASSERT_EQ(level_.pending.Count(), 2u);
    EXPECT_FLOAT_EQ(level_.pending.At(0)->position.z, 100.0f);
    EXPECT_FLOAT_EQ(level_.pending.At(1)->position.z, 50.0f);
    EXPECT_EQ(journal_.events, (Events{"load probe'", "parsed probe'", "load probe'", "unknown colour", "unknown 3", "parsed probe'"}));
    // The unknown keyword and the empty block behind the final newline are reported, not fatal.
    EXPECT_EQ(reports, (Events{"erro de parsing: entidade Ghost n\xE3o implementada\n", "erro de parsing: entidade  n\xE3o implementada\n"}));
}

TEST_F(LevelTest, SpawnsOnlyEntitiesLessThan85UnitsAheadAndNothingWithoutAGame)
{
    LoadScript("Probe { position 0 100 }");
    world_.Attach(&level_);
    world_.game = nullptr;
    world_.Step();
    EXPECT_EQ(level_.pending.Count(), 1u);
    world_.game = &progress_;
    const struct { float progress; bool attached; } frames[] = {{14.99f, false}, {15.0f, false}, {15.01f, true}};
    for (const auto& frame : frames) {
        progress_.progressZ = frame.progress;
        world_.Step();
        EXPECT_EQ(level_.pending.Count() == 0, frame.attached) << "progress " << frame.progress;
    }
    // Stamped with the level's time when attached: four frames of 0.1 s, the last added after spawning.
    EXPECT_NEAR(static_cast<ScriptedEntity*>(level_.next)->clock, 0.3f, 1e-5f);
    EXPECT_NEAR(level_.elapsed, 0.4f, 1e-5f);
    SceneNode::Detach(&level_);
}

TEST_F(LevelTest, SpawnedEntitiesKeepScriptOrderAndLiveInTheSameFrame)
{
    LoadScript("Probe { position 1 300 } Probe { position 2 60 } Probe { position 3 40 } Probe { position 4 200 }");
    world_.Attach(&level_);
    journal_.events.clear();
    world_.Step();
    ASSERT_EQ(level_.pending.Count(), 2u);
    EXPECT_FLOAT_EQ(level_.pending.At(0)->position.z, 300.0f);
    EXPECT_FLOAT_EQ(level_.pending.At(1)->position.z, 200.0f);
    ASSERT_EQ(level_.next->next->next, world_.root->firstChild);  // level, then the two spawned
    EXPECT_FLOAT_EQ(level_.next->position.x, 2.0f);
    EXPECT_FLOAT_EQ(level_.next->next->position.x, 3.0f);
    for (const char* pass : {"after", "update", "draw"}) EXPECT_EQ(journal_.With(pass).size(), 2u) << pass;
    SceneNode::Detach(&level_);
}

TEST_F(LevelTest, LoadsScriptAndSceneryFromItsFolderAndAfterUnloadAllIsPendingAgain)
{
    ModelFile scenery;
    scenery.lights.resize(1);
    scenery.lights[0].radius = 80.0f;
    const std::filesystem::path dir = folder_.Path();
    ASSERT_TRUE(ModelWriter::WriteFile(scenery, (dir / Level::kModelName).c_str()));
    std::ofstream(dir / Level::kScriptName) << "Probe { position 1 30 } Probe { position 2 10 } Probe { position 3 20 }";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    level_.load(&world_);
    world_.Attach(&level_);
    SceneNode::DrawPass(&world_, world_.root);
    EXPECT_EQ(world_.renderer.Lights().Count(), 1u);
    world_.Step();  // all three spawn and leave the list
    EXPECT_EQ(level_.pending.Count(), 0u);
    SceneNode::Detach(&level_);
    level_.unload();
    level_.load(&world_);
    std::filesystem::current_path(previous);

    ASSERT_EQ(level_.pending.Count(), 3u);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(level_.pending.At(i)->position.x, 1.0f + static_cast<float>(i));
    EXPECT_FLOAT_EQ(level_.elapsed, 0.0f);
    const size_t deleted = journal_.With("delete").size();
    level_.unload();
    EXPECT_EQ(level_.pending.Count(), 0u);
    EXPECT_EQ(journal_.With("delete").size(), deleted + 3);
}

TEST(EntityFactory, LooksUpExactKeywordsAndClonesEachTime)
{
    Journal journal;
    World world;
    world.RegisterPrototype("Sentinel", new ProbeNode(&journal, "sentinel"));
    world.RegisterPrototype("BossN1", new ProbeNode(&journal, "boss"));
    std::unique_ptr<Entity> first(world.Create("Sentinel")), second(world.Create("Sentinel"));
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(static_cast<ProbeNode*>(first.get())->Name(), "sentinel'");
    for (const char* unknown : {"sentinel", "Boss", "", "Sentinel ", "BossN"}) EXPECT_EQ(world.Create(unknown), nullptr) << unknown;
}

// A keyword registered again deletes its old prototype, unless it is the same one; a prototype under
// two keywords is deleted once, with the world.
TEST(EntityFactory, RegisteringAgainReplacesAndDeletesTheOldPrototypeOnce)
{
    Journal journal;
    {
        World world;
        world.RegisterPrototype("Door", new ProbeNode(&journal, "old"));
        auto* door = new ProbeNode(&journal, "new");
        world.RegisterPrototype("Door", door);
        EXPECT_EQ(journal.With("delete"), (Events{"delete old"}));
        world.RegisterPrototype("Door", door);
        world.RegisterPrototype("Gate", door);
        EXPECT_EQ(journal.With("delete").size(), 1u);
        delete world.Create("Door");
    }
    EXPECT_EQ(journal.With("delete"), (Events{"delete old", "delete new'", "delete new"}));
}

void RecordPass(void* journal, const char* pass)
{
    static_cast<Journal*>(journal)->Add(std::string("pass ") + pass);
}

TEST(World, StepRunsTheTreeThenRendersAndPresentsWithTheChosenTimeStep)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    Journal journal;
    World world;
    world.renderer.SetPassObserver(RecordPass, &journal);
    ManualPerformanceCounter counter(1000);
    world.StartTimer(&counter);
    world.Attach(new ProbeNode(&journal, "n"));
    counter.Advance(20);
    world.Step();
    ASSERT_GE(journal.events.size(), 4u);
    EXPECT_EQ((Events{journal.events.begin(), journal.events.begin() + 3}), (Events{"after n", "update n", "draw n"}));
    EXPECT_EQ(journal.With("pass").size(), journal.events.size() - 3) << "the renderer runs after the draw pass";
    EXPECT_EQ(device.PresentCount(), 1);
    EXPECT_NEAR(world.LastStep(), 0.02f, 1e-6f);
    counter.Advance(5000);
    world.Step();
    EXPECT_FLOAT_EQ(world.LastStep(), 0.1f);
    EXPECT_EQ(device.PresentCount(), 2);
}

// A node that submits a particle of its own every frame.
class Sparkle : public SceneNode {
public:
    void draw(World* world) override { world->renderer.AddParticle(&particle); }
    Particle particle;
};

TEST(World, AFadeOfExactlyOneCoversThePictureYetLeavesNoSubmissionQueued)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    World world;
    world.SetFixedStep(0.25f);
    world.Attach(new Sparkle);
    for (float fade : {1.0f, 0.5f, 0.0f}) {
        world.fade = fade;
        world.Step();
        EXPECT_EQ(world.renderer.Particles().Count(), 0u) << "fade " << fade;
        EXPECT_FLOAT_EQ(world.LastStep(), 0.25f);
    }
    EXPECT_LT(World::RenderedFade(1.0f), 1.0f);
    EXPECT_GT(World::RenderedFade(1.0f) * 255.0f, 254.0f);
    EXPECT_EQ(World::RenderedFade(0.5f), 0.5f);
}

TEST(World, StepsHeadlessWithoutADevice)
{
    ScopedCurrentDevice none(nullptr);
    Journal journal;
    World world;
    world.Attach(new ProbeNode(&journal, "n"));
    world.Step();
    EXPECT_EQ(journal.With("draw"), (Events{"draw n"}));
}

}  // namespace
