#include <gtest/gtest.h>

#include "GameFixture.h"
#include "engine/platform/Fsound.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShot.h"

namespace {

using ShipTest = GameFixture;

bool ShownLastFrame(Game& game, SceneModel& model)
{
    return model.Objects().At(0).FrameStamp() == static_cast<int32_t>(game.renderer.FrameCounter()) - 1;
}

TEST_F(ShipTest, HeldButtonFiresAtOnceThenOncePerIntervalAndAgainAtOnceAfterAPause)
{
    const struct { float dt; int frames; std::vector<int> shots; } cases[] = {{1.0f / 16, 8, {0, 2, 4, 6}}, {1.0f / 64, 15, {0, 7, 14}}};
    for (const auto& c : cases) {
        Play(EmptyLevelScript(), c.dt);
        Frames(c.frames, true);
        EXPECT_EQ(FramesOf("fire player"), c.shots) << "dt " << c.dt;
        Frames(10, false);
        Frames(1, true);
        EXPECT_EQ(FramesOf("fire player").back(), c.frames + 10) << "the cooldown kept falling during the pause";
        Stop();
    }
}

TEST_F(ShipTest, MouseArrowKeysAndStickSteerWithinTheBox)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct { FrameInput input; int frames; float x, z; } cases[] = {
        {{.dx = 10, .dy = -4}, 10, 50, 20},
        {{.dx = 10, .dy = -4}, 40, 100, 75},
        {{.down = true, .left = true}, 6, -100, -75},
        {{.up = true, .right = true}, 2, 40, 40},
        {{.stickX = 0.5f, .stickY = -0.25f}, 2, 20, -10},    // in proportion to the push
        {{.stickX = -1.0f, .stickY = 1.0f}, 2, -40, 40},     // at full push, as the arrows
        {{.right = true, .stickX = 1.0f}, 1, 40, 0},         // keys and stick add up
        {{.stickX = 1.0f, .stickY = -1.0f}, 20, 100, -75},   // and stay within the box
    };
    for (const auto& c : cases) {
        game->ship.offset = Vec4();
        held.input = c.input;
        Frames(c.frames);
        EXPECT_FLOAT_EQ(game->ship.offset.x, c.x) << "row " << &c - cases;
        EXPECT_FLOAT_EQ(game->ship.offset.z, c.z) << "row " << &c - cases;
        EXPECT_FLOAT_EQ(game->ship.position.z, game->ship.offset.z + game->ship.progressZ);
    }
}

TEST_F(ShipTest, AHitCostsAPointOnlyOutsideTheWindowAndTheShipBlinksInsideIt)
{
    Play(EmptyLevelScript(), 0.1f);
    auto* enemy = Spawn<DefenderN1>("DefenderN1", 90, 2000);
    PlayerShip& ship = game->ship;
    enum Source { kContact, kEnemyShot, kOwnShot };
    const struct {
        int frame;
        Source source;
        int health;
    } hits[] = {{2, kContact, 4}, {12, kEnemyShot, 4}, {28, kContact, 3}, {29, kContact, 3}, {45, kOwnShot, 3}, {46, kEnemyShot, 2}};
    for (const auto& hit : hits) {
        Frames(hit.frame - frame);
        if (hit.source == kContact) ship.onCollision(game.get(), enemy);
        std::unique_ptr<Shot> shot(hit.source == kEnemyShot ? static_cast<Shot*>(new EnemyShot) : new PlayerShot);
        if (hit.source != kContact) shot->onCollision(game.get(), &ship);
        EXPECT_EQ(shot->exploding, hit.source == kEnemyShot) << "frame " << hit.frame;
        EXPECT_EQ(ship.health, hit.health) << "frame " << hit.frame;
    }
    EnemyShot own;
    own.onCollision(game.get(), enemy);
    EXPECT_FALSE(own.exploding) << "enemy shots pass through their own side";
    for (int i = 0; i < 20; ++i) {
        Frames(1);
        const bool blinking = ship.hitTimer <= PlayerShip::kHitWindow;
        EXPECT_EQ(ShownLastFrame(*game, ship.model), !blinking || PlayerShip::drawCounter % 8 < 4) << "after " << ship.hitTimer;
    }
}

TEST_F(ShipTest, TheLastHitDestroysTheShipAndTheLevelEndsFiveSecondsLater)
{
    Play(EmptyLevelScript(), 0.1f);
    Frames(20);
    game->ship.health = 1;
    // Flown into: the game's own collision test finds the contact.
    Spawn<DefenderN1>("DefenderN1", game->ship.position.x, game->ship.position.z)->speed = 0.0f;
    Frames(2);
    EXPECT_FALSE(game->ship.controlsEnabled);
    game->ship.controlsEnabled = true;  // as a door's release or the boss fight would
    while (!game->QuitRequested() && frame < 200) Frames(1, true);
    EXPECT_TRUE(FramesOf("fire player").empty()) << "a destroyed ship does not fire";
    const PlayerShip& ship = game->ship;
    EXPECT_EQ(ship.health, -1);
    EXPECT_EQ(ship.radius, 0.0f);
    ASSERT_EQ(FramesOf("destroyed PlayerShip").size(), 1u);
    EXPECT_EQ(FramesOf("music 27"), FramesOf("destroyed PlayerShip"));
    EXPECT_EQ(FMUSIC_GetOrder(game->music), 27);
    ASSERT_EQ(FramesOf("quit ship destroyed").size(), 1u);
    const int after = FramesOf("quit ship destroyed")[0] - FramesOf("destroyed PlayerShip")[0];
    EXPECT_GT(after * 0.1, 5.0);
    EXPECT_LE(after * 0.1, 5.1 + 1e-6);
    EXPECT_NEAR(game->fade, PlayerShip::kDeathFadeRate * PlayerShip::deathClock, 1e-6);
}

TEST_F(ShipTest, TheCameraTakesTheDisplaysShapeAndTheFadeClearsOverThe128FirstUnits)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct { int width, height, frames; float fade; } cases[] = {{640, 480, 1, 0.975f}, {1280, 720, 19, 0.5f}, {1024, 768, 25, 0.0f}};
    for (const auto& c : cases) {
        device.ResizeBackBuffer(c.width, c.height);
        Frames(c.frames);
        EXPECT_FLOAT_EQ(game->renderer.GetCamera().Aspect(), static_cast<float>(c.width) / static_cast<float>(c.height));
        EXPECT_NEAR(game->fade, c.fade, 1e-5f) << "after " << frame << " frames";
    }
}

TEST_F(ShipTest, ShotsGoOnlyAfterFlyingMoreThan200Units)
{
    Play(EmptyLevelScript(), 1.0f / 16);
    // 25 and 6.25 units a frame: 200 exactly after 8 and 32 updates, which still keep the shot.
    const struct { bool player; int updates; } cases[] = {{true, 9}, {false, 33}};
    for (const auto& c : cases) {
        Shot* shot = c.player ? static_cast<Shot*>(new PlayerShot) : new EnemyShot;
        shot->Start(game.get(), Vec4(-90, 0, game->ship.progressZ));
        game->Attach(shot);
        int updates = 0;
        while (!shot->dead && updates < 100) {
            Frames(1);
            ++updates;
        }
        EXPECT_EQ(updates, c.updates) << (c.player ? "PlayerShot" : "EnemyShot without a direction");
        Frames(1);
        EXPECT_FALSE(Attached(shot));
    }
}

TEST_F(ShipTest, APlayerShotHitsOnlyTheFirstEnemyItTouchesCountingItsDropBelowThePlane)
{
    Play(EmptyLevelScript(), 0.1f);
    const float z = game->ship.progressZ + 150;
    // The shot flies one unit below the enemies: sqrt(dx² + 1) < 5 + 7 is a hit.
    const struct { std::vector<float> enemiesAt; int hitPointsLost; } cases[] = {{{11.9f}, 1}, {{11.97f}, 0}, {{-3.0f, 3.0f}, 1}};
    for (const auto& c : cases) {
        std::vector<DefenderN1*> enemies;
        for (float dx : c.enemiesAt) {
            enemies.push_back(Spawn<DefenderN1>("DefenderN1", dx, z));
            enemies.back()->speed = 0.0f;
        }
        auto* shot = new PlayerShot;
        shot->Start(game.get(), Vec4(0, 0, z - PlayerShot::kSpeed * 0.1f));
        game->Attach(shot);
        Frames(2);
        int lost = 0;
        for (DefenderN1* enemy : enemies) {
            lost += DefenderN1::kHitPoints - enemy->hitPoints;
            enemy->dead = true;
        }
        EXPECT_EQ(lost, c.hitPointsLost) << c.enemiesAt[0];
        EXPECT_EQ(shot->exploding, lost > 0);
        if (lost > 0) {
            EXPECT_FLOAT_EQ(shot->explosion.flipbook.position.z, z - 10.0f);
        }
        shot->dead = true;
        Frames(1);
    }
}

}  // namespace
