#include <gtest/gtest.h>

#include <cmath>

#include "GameFixture.h"
#include "engine/platform/Log.h"
#include "game/actors/Boss.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShot.h"
#include "game/actors/Sentinel.h"
#include "game/world/ScriptReader.h"

namespace {

using EnemyTest = GameFixture;

void ExpectDirection(const EnemyShot* shot, const Vec4& expected)
{
    ASSERT_NE(shot, nullptr);
    EXPECT_LT(shot->direction.Distance(expected), 1e-5f) << shot->direction.x << " " << shot->direction.y << " " << shot->direction.z;
}

// Creates and loads the entity, then hands it its block, collecting the level-2 reports.
ScriptedEntity* Parsed(Game& game, const std::string& block, std::vector<std::string>* reports)
{
    ScriptReader reader;
    reader.OpenText(block.data(), block.size());
    auto* entity = dynamic_cast<ScriptedEntity*>(game.Create(reader.NextEntity()));
    entity->load(&game);
    Log::SetListener([&](int level, const std::string& text) { if (level == 2) reports->push_back(text); });
    entity->parse(reader);
    Log::SetListener(nullptr);
    return entity;
}

TEST_F(EnemyTest, DefenderFiresOnItsFirstUpdateThenEveryOneAndAHalfSecondsAtTheShip)
{
    Play(EmptyLevelScript(), 0.1f);
    Frames(2);
    game->ship.advancing = false;
    const Vec4 ship = game->ship.position;
    // The second defender sits on the ship: its aim has no length, and its shots no direction.
    const struct { float dx, dz; Vec4 direction; } cases[] = {{30, 40, {-0.6f, 0, -0.8f}}, {0, 0, {0, 0, 0}}};
    for (const auto& c : cases) {
        auto* defender = Spawn<DefenderN1>("DefenderN1", ship.x + c.dx, ship.z + c.dz);
        defender->speed = 0.0f;
        const int first = frame;
        Frames(1);
        ExpectDirection(Newest<EnemyShot>(), c.direction);
        Frames(30);
        EXPECT_EQ(FramesOf("fire enemy"), (std::vector<int>{first, first + 15, first + 30})) << c.dx;
        defender->dead = true;
        Frames(1);
        events.clear();
    }
}

TEST_F(EnemyTest, EnemiesExplodeWhenTheirHitPointsAreUsedUpAndGoWhenItEndsOrFarBehind)
{
    Play(EmptyLevelScript(), 0.1f);
    Frames(1);
    game->ship.advancing = false;
    const float p = game->ship.progressZ;
    const struct {
        const char* keyword;
        int hits;
        float z;
        bool destroyed;
        int framesAttached;  // after the hits; 99: still there
    } cases[] = {{"DefenderN1", 2, 300, false, 99}, {"DefenderN1", 3, 300, true, 6}, {"Sentinel", 1, 300, true, 6},
                 {"DefenderN1", 0, -85, false, 99}, {"DefenderN1", 0, -85.01f, false, 0}, {"Sentinel", 1, -90, true, 0}};
    for (const auto& c : cases) {
        auto* enemy = Spawn<Enemy>(c.keyword, 50, p + c.z);
        if (auto* defender = dynamic_cast<DefenderN1*>(enemy)) {
            defender->speed = 0.0f;
        } else {
            static_cast<Sentinel*>(enemy)->movespeed = 0.0f;
        }
        for (int i = 0; i < c.hits; ++i) PlayerShot().onCollision(game.get(), enemy);
        int attached = 0;
        while (attached < 99 && (Frames(1), Attached(enemy))) {
            if (attached++ == 0) {
                EXPECT_EQ(enemy->hasFlags(Enemy::kDestroyed), c.destroyed) << c.keyword << " " << c.hits;
                EXPECT_EQ(enemy->radius == 0.0f, c.destroyed);
            }
        }
        EXPECT_EQ(attached, c.framesAttached) << c.keyword << " " << c.hits << " at " << c.z;
        if (attached == 99) enemy->dead = true;
        Frames(1);
    }
    EXPECT_EQ(FramesOf("destroyed DefenderN1").size(), 1u);
    EXPECT_EQ(FramesOf("destroyed Sentinel").size(), 2u);
}

TEST_F(EnemyTest, SentinelSwingsByItsClockAndRefusesAPeriodOfZero)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct { const char* settings; float clock; float x; const char* report; } cases[] = {
        {"wave True speed 2 phase 0.25 amplitude 30", 0.0f, 40, nullptr},
        {"wave True speed 2 phase 0.25 amplitude 30", 1.0f, -20, nullptr},
        {"wave True speed 2 phase 1.25 amplitude 30", 0.0f, 40, nullptr},
        {"speed 2 phase 0.25 amplitude 30", 0.3f, 10, nullptr},
        {"wave True amplitude 30 speed 0", 0.25f, 40, "erro de parsing: speed 0 n\xE3o \xE9 aceito na classe Sentinel, mantido 1\n"},
        {"wave true", 0.25f, 10, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::string> reports;
        std::unique_ptr<ScriptedEntity> sentinel(Parsed(*game, std::string("Sentinel { position 10 500 ") + c.settings + " }", &reports));
        sentinel->clock = c.clock;
        sentinel->update(game.get(), 0.0f);
        EXPECT_NEAR(sentinel->position.x, c.x, 1e-4f) << c.settings;
        EXPECT_EQ(reports, c.report ? std::vector<std::string>{c.report} : std::vector<std::string>{}) << c.settings;
    }
}

TEST_F(EnemyTest, EveryClassReportsTheTokensItDoesNotKnowByName)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct {
        const char* keyword;
        const char* className;
    } cases[] = {{"Sentinel", "Sentinel"}, {"DefenderN1", "DefenderN1"}, {"BossN1", "Boss"}, {"Door", "Door"}, {"End", "End"}};
    for (const auto& c : cases) {
        std::vector<std::string> reports;
        std::unique_ptr<ScriptedEntity> entity(Parsed(*game, std::string(c.keyword) + " { colour 3 position 7 9 }", &reports));
        const std::string tail = std::string(" n\xE3o \xE9 um token reconhecido na classe ") + c.className + "\n";
        EXPECT_EQ(reports, (std::vector<std::string>{"erro de parsing: colour" + tail, "erro de parsing: 3" + tail}));
        EXPECT_EQ(entity->position.x, 7.0f);
        EXPECT_EQ(entity->position.z, 9.0f);
    }
}

TEST_F(EnemyTest, BossBarsShowAQuarterOfItsHitPoints)
{
    const int cases[][2] = {{60, 15}, {59, 14}, {56, 14}, {55, 13}, {4, 1}, {3, 0}, {0, 0}, {-1, 0}, {2147483647, 15}};
    for (const auto& c : cases) EXPECT_EQ(Boss::BarsFor(c[0]), c[1]) << c[0];
}

TEST_F(EnemyTest, BossComesForwardHoldsTheShipThroughItsIntroFiresFansAndLetsTheScrollGoWhenDestroyed)
{
    Play(EmptyLevelScript(), 0.1f);
    PlayerShip& ship = game->ship;
    auto* boss = Spawn<Boss>("BossN1", 0, ship.progressZ + 50);
    const float arrival = boss->position.z + Boss::kArrivalLead;
    Frames(1);
    EXPECT_EQ(boss->position.z, arrival);
    EXPECT_EQ(FramesOf("music 18"), std::vector<int>{0});
    EXPECT_EQ(boss->radius, 0.0f) << "shots pass through it on its approach";

    ship.progressZ = arrival;
    ship.advancing = false;
    int intro = 0;
    do {
        Frames(1);
        ++intro;
        EXPECT_EQ(ship.ownsCamera, ship.controlsEnabled) << "intro frame " << intro;
        EXPECT_FALSE(ship.advancing);
        EXPECT_EQ(boss->radius, Boss::kRadius);
    } while (!ship.controlsEnabled && intro < 100);
    // 79 steps of 0.1 add up to just under 7.9 in floats: 80 intro frames, then the first fight frame.
    EXPECT_EQ(intro, 81);
    EXPECT_STREQ(game->CameraOwner(), "ship");
    EXPECT_FALSE(ship.advancing);

    // The first fan leaves on the first fight frame: the ship sits right on the boss, so its
    // shots have no direction. The next one, 0.8 s later, aims at the ship moved aside.
    const int fight = frame - 1;
    EXPECT_EQ(FramesOf("fire enemy"), std::vector<int>(3, fight));
    ExpectDirection(Newest<EnemyShot>(), {0, 0, 0});
    ship.offset = Vec4(30, 0, -40);
    Frames(8);
    ASSERT_EQ(FramesOf("fire enemy").size(), 6u);
    EXPECT_EQ(FramesOf("fire enemy")[3], fight + 8);
    auto* c = Newest<EnemyShot>();
    auto* b = dynamic_cast<EnemyShot*>(c->prev);
    auto* a = dynamic_cast<EnemyShot*>(b->prev);
    ExpectDirection(a, {0.6f, 0, -0.8f});
    for (const EnemyShot* side : {b, c}) EXPECT_NEAR(side->direction.Dot(a->direction), std::cos(std::atan(0.25f)), 1e-5f);

    boss->hitPoints = 0;
    Frames(1);
    EXPECT_EQ(FramesOf("destroyed BossN1"), std::vector<int>{frame - 1});
    EXPECT_TRUE(ship.advancing);
}

}  // namespace
