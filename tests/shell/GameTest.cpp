#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <random>

#include "GameFixture.h"
#include "engine/platform/Fsound.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/SampleCache.h"
#include "engine/scene/ModelCache.h"
#include "engine/scene/TextureCache.h"
#include "game/shell/InputScript.h"

namespace {

using GameTest = GameFixture;

int ChildCount(const SceneNode* node)
{
    int count = 0;
    for (const SceneNode* child = node->firstChild; child != nullptr; child = child->next == node->firstChild ? nullptr : child->next) ++count;
    return count;
}

long ResidentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST_F(GameTest, APlayAfterAPlayStartsAfreshWithTheLevelMusicAndEmptyCachesBetween)
{
    Play(ShortLevelScript(), 0.1f);
    EXPECT_GE(TextureCache::Count(), 9u) << "the explosion's pictures are loaded before the first frame";
    EXPECT_EQ(FSOUND_GetChannelsPlaying(), 0) << "and without a sound";
    game->ship.progressZ = 240;
    Frames(2, true);
    ASSERT_EQ(FramesOf("music 18").size(), 1u);
    EXPECT_EQ(FMUSIC_GetOrder(game->music), 18);
    const int alive = ChildCount(game->root);

    game->EndPlay();
    EXPECT_EQ(TextureCache::Count() + ModelCache::Count() + SampleCache::Count(), 0u);
    EXPECT_EQ(game->music, nullptr);
    EXPECT_EQ(ChildCount(game->root), alive - 2) << "the old tree stays until the next play begins";

    game->BeginPlay();
    EXPECT_EQ(ChildCount(game->root), 2) << "the ship and the level alone";
    EXPECT_EQ(game->root->firstChild, &game->ship);
    EXPECT_EQ(game->level.pending.Count(), 5u);
    EXPECT_EQ(game->ship.health, 5);
    EXPECT_EQ(game->ship.progressZ, 0.0f);
    EXPECT_EQ(FMUSIC_GetOrder(game->music), Game::kLevelMusicOrder);
    EXPECT_FALSE(game->QuitRequested());
}

TEST_F(GameTest, EscapeOrAClosedWindowEndsThePlayAfterOneMoreFrameAndEmptiesTheQueue)
{
    Play(EmptyLevelScript(), 0.1f);
    const struct { uint32_t message; uint64_t key; const char* reason; } cases[] = {{WM_KEYDOWN, VK_ESCAPE, "escape"}, {WM_QUIT, 0, "window closed"}};
    for (const auto& c : cases) {
        game->EndPlay();
        game->BeginPlay();
        Frames(3);
        MessageQueue::PostMessage({c.message, c.key, 0});
        MessageQueue::PostMessage({WM_KEYDOWN, 'A', 0});
        const float progress = game->ship.progressZ;
        Frames(1);
        EXPECT_TRUE(game->QuitRequested());
        EXPECT_STREQ(game->QuitReason(), c.reason);
        EXPECT_GT(game->ship.progressZ, progress) << "the frame was stepped";
        Message left;
        EXPECT_FALSE(MessageQueue::PeekMessage(&left));
    }
}

TEST_F(GameTest, InputScriptsHoldEachLineUntilTheNextAndRefuseWhatTheyCannotRead)
{
    const struct {
        const char* text;
        const char* error;  // null: accepted
    } cases[] = {
        {"# held from frame 2 #\n\n2 4 -6 1 UP LEFT\r\n5 0 0 0 ESCAPE\n", nullptr},
        {"x 0 0 0", "line 1: frame 'x' is not a number from 0 to 2147483647"},
        {"-1 0 0 0", "line 1: frame '-1' is not a number from 0 to 2147483647"},
        {"5 0 0 0\n\n5 1 1 1", "line 3: frame 5 does not come after frame 5"},
        {"0 100001 0 0", "line 1: mouse motion '100001 0' is not two whole numbers within 100000"},
        {"0 1.5 0 0", "line 1: mouse motion '1.5 0' is not two whole numbers within 100000"},
        {"0 0 0 2", "line 1: button '2' is not 0 or 1"},
        {"0 0 0", "line 1: expected FRAME dx dy button [keys...]"},
        {"0 0 0 0 up", "line 1: unknown key 'up' (known: UP DOWN LEFT RIGHT ESCAPE)"},
    };
    for (const auto& c : cases) {
        InputScript script;
        std::string error;
        EXPECT_EQ(script.Parse(c.text, &error), c.error == nullptr) << c.text;
        EXPECT_EQ(error, c.error ? c.error : "") << c.text;
        EXPECT_EQ(script.Lines().size(), c.error ? 0u : 2u);
    }
    InputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(cases[0].text, &error));
    Input input;
    MessageQueue::Reset();
    const struct {
        int32_t dx;
        bool button, up, escapeMessage;
    } frames[] = {{0, false, false, false}, {0, false, false, false}, {4, true, true, false}, {4, true, true, false},
                  {4, true, true, false}, {0, false, false, true}, {0, false, false, false}};
    for (const auto& f : frames) {
        script.PostMessages();
        script.Apply(input);
        Message message;
        EXPECT_EQ(MessageQueue::PeekMessage(&message), f.escapeMessage);
        EXPECT_EQ(input.mouse->state.lX, f.dx);
        EXPECT_EQ(input.mouse->state.rgbButtons[0] != 0, f.button);
        EXPECT_EQ(input.keyboard->keys[InputScript::KeyCode("UP")] != 0, f.up);
    }
    EXPECT_FALSE(script.Load("/nonexistent/input.txt", &error));
}

// Fifty plays in a row of random mouse motion, button and arrows, each ended by Escape now and then
// or after 400 frames: the ship stays where numbers are finite and memory stops growing after the second play.
TEST_F(GameTest, FiftyPlaysOfRandomInputPlayOnWithoutFaultAndKeepTheirMemory)
{
    float length = 0;
    Play(SyntheticLevelScript(&length), 1.0f / 60);
    std::mt19937 random(20240611);
    const auto chance = [&](unsigned n) { return random() % n == 0; };
    long second = 0;
    for (int play = 1; play <= 50; ++play) {
        if (play > 1) game->BeginPlay();
        for (int i = 0; i < 400 && !game->QuitRequested(); ++i) {
            const int dx = static_cast<int>(random() % 81) - 40, dy = static_cast<int>(random() % 81) - 40;
            held.input = {.dx = dx, .dy = dy, .up = chance(4), .down = chance(4), .left = chance(4), .right = chance(4)};
            if (chance(3000) || i == 399) MessageQueue::PostMessage({WM_KEYDOWN, VK_ESCAPE, 0});
            Frames(1, chance(2));
            ASSERT_TRUE(std::isfinite(game->ship.position.x) && std::isfinite(game->ship.position.z));
        }
        ASSERT_STREQ(game->QuitReason(), "escape");
        game->EndPlay();
        if (play == 2) second = ResidentBytes();
    }
    const long growth = ResidentBytes() - second;
    RecordProperty("ResidentGrowthBytes", std::to_string(growth));
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's quarantine holds freed memory; grew " << growth << " bytes";
#else
    EXPECT_LT(growth, 1 << 20);
#endif
    game->BeginPlay();
}

}  // namespace
