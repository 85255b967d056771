#include <gtest/gtest.h>

#include <cmath>

#include "GameFixture.h"
#include "engine/platform/Fsound.h"
#include "engine/render/Renderer.h"
#include "engine/scene/SceneModel.h"
#include "game/actors/Door.h"
#include "game/actors/End.h"

namespace {

using SetPieceTest = GameFixture;

// Whether any object of the model went to the renderer since the stamps were cleared.
bool Submitted(const SceneModel& model, const Renderer& renderer)
{
    for (const SceneObject& object : model.Objects())
        if (object.FrameStamp() == static_cast<int32_t>(renderer.FrameCounter())) return true;
    return false;
}

float PanelX(const Door& door)
{
    return door.model->Objects().At(1).positionTrack.Evaluate(Track::kLinear).x;
}

TEST_F(SetPieceTest, DoorHoldsTheShipStrictlyInsideItsOpeningAndGivesControlBackOnce)
{
    Play(EmptyLevelScript(), 0.1f);
    Frames(1);
    PlayerShip& ship = game->ship;
    auto* door = Spawn<Door>("Door", 0, ship.progressZ + 200);
    // 3.8 is compared as a double: the float 3.8f lies just below it and still opens.
    const struct {
        float timer;
        bool submitted, held, opening;
    } cases[] = {{0.5f, true, false, false}, {1.0f, false, false, false}, {std::nextafter(1.0f, 2.0f), true, true, true},
                 {3.8f, true, true, true}, {std::nextafter(3.8f, 4.0f), true, false, false}};
    for (const auto& c : cases) {
        for (SceneObject& object : door->model->Objects()) object.SetFrameStamp(-1);
        door->sequenceTimer = c.timer;
        door->update(game.get(), 0.0f);
        EXPECT_EQ(Submitted(*door->model, game->renderer), c.submitted) << c.timer;
        EXPECT_EQ(!ship.advancing && !ship.controlsEnabled, c.held) << c.timer;
        EXPECT_EQ(door->Opening(), c.opening) << c.timer;
    }
    ship.advancing = ship.controlsEnabled = false;
    door->update(game.get(), 0.1f);
    EXPECT_FALSE(ship.advancing || ship.controlsEnabled) << "control is given back only once";
}

TEST_F(SetPieceTest, TwoDoorsSharingTheirModelEachOpenInTheirOwnTime)
{
    Play(EmptyLevelScript(), 0.1f);
    Spawn<Door>("Door", 0, game->ship.progressZ + 200);
    std::vector<float> first;
    for (int i = 0; i < 45; ++i) {
        Frames(1);
        first.push_back(PanelX(*Newest<Door>()));
    }
    auto* second = Spawn<Door>("Door", 0, game->ship.progressZ + 200);
    for (int i = 0; i < 45; ++i) {
        Frames(1);
        if (second->Opening()) {
            EXPECT_FLOAT_EQ(PanelX(*second), first[static_cast<size_t>(i)]) << "frame " << i;
        }
    }
    EXPECT_EQ(PanelX(*second), first.back()) << "and both stay open";
}

TEST_F(SetPieceTest, EndStartsTheCreditsMusicOnItsFirstDrawAndEndsThePlayFifteenSecondsLater)
{
    Play(EmptyLevelScript(), 0.1f);
    Frames(2);
    const int attached = frame;
    Spawn<End>("End", 0, game->ship.progressZ + 50);
    EXPECT_TRUE(FramesOf("music 29").empty()) << "not at load";
    while (!game->QuitRequested() && frame < 400) Frames(1);
    EXPECT_EQ(FramesOf("music 29"), std::vector<int>{attached});
    EXPECT_EQ(FMUSIC_GetOrder(game->music), 29);
    EXPECT_STREQ(game->CameraOwner(), "end");
    EXPECT_FALSE(game->ship.controlsEnabled);
    EXPECT_TRUE(game->ship.advancing) << "the ship scrolls on under the credits";
    // The frames from attachment to the quit: 15 s of them, or one more.
    const double seconds = (frame - attached) * 0.1;
    EXPECT_GE(seconds, 15.0 - 1e-6);
    EXPECT_LE(seconds, 15.1 + 1e-6);
    EXPECT_STREQ(game->QuitReason(), "credits");
}

TEST_F(SetPieceTest, ExplosionShowsItsFramesFadesRingAndLightAndEndsAfterEightFifteenthsOfASecond)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct {
        std::vector<float> steps;
        bool withLight, withRing;
        std::vector<int> frames;  // flipbook frame after each step; −1: over, nothing submitted
    } cases[] = {{{0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f}, true, true, {1, 2, 4, 5, 7, -1}},
                 {{0.6f}, true, true, {-1}},
                 {{0.05f, 0.4f}, false, false, {0, 6}}};
    for (const auto& c : cases) {
        Renderer renderer;
        Explosion explosion;
        explosion.Start(Vec4(1, 2, 3), 30.0f, c.withLight, c.withRing);
        uint32_t particles = 0, lights = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const bool over = explosion.Advance(renderer, c.steps[i]);
            EXPECT_EQ(over, c.frames[i] < 0) << "step " << i;
            if (!over) {
                EXPECT_EQ(explosion.flipbook.texture, explosion.frames[c.frames[i]]) << "step " << i;
                particles += c.withRing ? 2 : 1;
                lights += c.withLight ? 1 : 0;
            }
            EXPECT_EQ(renderer.Particles().Count(), particles);
            EXPECT_EQ(renderer.Lights().Count(), lights);
        }
    }
    Explosion explosion;
    explosion.Start(Vec4(), 30.0f, true, true);
    for (int i = 0; i < 5; ++i) explosion.Advance(game->renderer, 0.1f);
    EXPECT_NEAR(explosion.light.colour.x, 1.0f - 0.5f * Explosion::kFadeRate, 1e-5f);
    EXPECT_LT(explosion.light.colour.z, 0.0f) << "the light is not clamped";
    EXPECT_NEAR(explosion.shockRing.color.x, 1.0f - 0.5f * Explosion::kFadeRate, 1e-5f);
    EXPECT_NEAR(explosion.shockRing.size, 60.0f, 1e-4f);
}

}  // namespace
