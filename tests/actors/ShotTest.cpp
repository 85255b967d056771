#include <gtest/gtest.h>

#include "GameFixture.h"
#include "game/actors/DefenderN1.h"
#include "game/actors/EnemyShot.h"
#include "game/actors/PlayerShot.h"

namespace {

using ShotTest = GameFixture;

TEST_F(ShotTest, ShotsGoOnlyAfterFlyingMoreThan200Units)
{
    Play(EmptyLevelScript(), 1.0f / 16);
    // 25 and 6.25 units a frame: 200 exactly after 8 and 32 updates, which still keep the shot.
    const struct {
        bool player;
        int updates;
    } cases[] = {{true, 9}, {false, 33}};
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

TEST_F(ShotTest, APlayerShotHitsOnlyTheFirstEnemyItTouchesCountingItsDropBelowThePlane)
{
    Play(EmptyLevelScript(), 0.1f);
    const float z = game->ship.progressZ + 150;
    // The shot flies one unit below the enemies: sqrt(dx² + 1) < 5 + 7 is a hit.
    const struct {
        std::vector<float> enemiesAt;
        int hitPointsLost;
    } cases[] = {{{11.9f}, 1}, {{11.97f}, 0}, {{-3.0f, 3.0f}, 1}};
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
