#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/NullDevice.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/PerformanceCounter.h"
#include "engine/platform/ResourceFile.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderDirectory.h"
#include "engine/scene/TextureCache.h"
#include "game/shell/TitleScreen.h"

namespace {

constexpr double kStep = 1.0 / 64.0;  // seconds a frame: exact in binary, so times add up exactly
constexpr double kQuarterBlink = 1.0 / 16.0;
// The prompt a sixteenth of a second into a whole second: 6 blinks a second are three quarters
// through a blink, 12 a second at the bottom of one.
constexpr float kPromptAt6 = 0.8535534f;
constexpr float kPromptAt12 = 0.0f;
constexpr double kGiveUp = 20.0;      // a showing still running then has missed its end

struct Key {
    double t;  // read by the frame that starts at this time
    uint32_t message;
    uint32_t key;
};

// The title screen on the null device, reading the game's data the build made, with the time base
// stepped by hand and keys posted at chosen moments.
class TitleScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ArchivePath = HARN_BINARY_DIR "/data.qzr";
        ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
        ASSERT_TRUE(renderer_.SetUpScene());
        MessageQueue::Reset();
        MessageQueue::SetWindowProcedure(Display::WindowProcedure);
    }
    void TearDown() override
    {
        MessageQueue::SetWindowProcedure(nullptr);
        MessageQueue::Reset();
        ShaderDirectory::Set("");
        TextureCache::Clear();
        ArchivePath = nullptr;
    }

    // One showing; every frame it drew.
    std::vector<TitleFrame> Show(const std::vector<Key>& keys, bool* result)
    {
        std::vector<TitleFrame> frames;
        auto post = [&](double t) {
            for (const Key& key : keys) {
                if (std::fabs(key.t - t) < 1e-6) MessageQueue::PostMessage({key.message, key.key, 0});
            }
        };
        post(0.0);
        title_.SetFrameObserver([&](const TitleFrame& frame) {
            frames.push_back(frame);
            if (frames.size() == 1) {
                texturesWhileShowing_ = TextureCache::Count();
                objectsWhileShowing_ = title_.Model().Objects().Count();
            }
            const double next = static_cast<double>(frames.size()) * kStep;
            if (next > kGiveUp) MessageQueue::PostQuitMessage(0);
            post(next);
            counter_.AdvanceSeconds(kStep);
        });
        *result = title_.Run(renderer_);
        return frames;
    }

    static const TitleFrame* At(const std::vector<TitleFrame>& frames, double t)
    {
        for (const TitleFrame& frame : frames) {
            if (std::fabs(frame.t - t) < 1e-4) return &frame;
        }
        return nullptr;
    }

    NullDevice device_{640, 480};
    ScopedCurrentDevice current_{&device_};
    Renderer renderer_;
    ManualPerformanceCounter counter_{64000};
    TitleScreen title_{counter_};
    size_t texturesWhileShowing_ = 0;
    uint32_t objectsWhileShowing_ = 0;
};

struct Moment { double t; float fade; float prompt; };

struct Case {
    const char* name;
    std::vector<Key> keys;
    bool result;
    double lastFrame;  // t of the frame that ended the showing
    std::vector<Moment> moments;
};

TEST_F(TitleScreenTest, EveryShowingStartsAfreshAndItsFadesBlinksAndKeysFollowTheTimeBase)
{
    const double after = kStep;  // the frame after the one that read the key
    const float q = static_cast<float>(kQuarterBlink);
    const std::vector<Case> cases = {
        {"Enter during the fade-in fades out from t = 2, counted from the key",
         {{0.5, WM_KEYDOWN, VK_RETURN}},
         true, 2.5 + after,
         {{0.0, 1.0f, 0.5f}, {q, 1.0f - 0.5f * q, kPromptAt6}, {1.0, 0.5f, 0.5f},
          {0.5 + q, 0.75f - 0.5f * q, kPromptAt12}, {2.0, 0.75f, 0.5f}}},
        {"Escape at t = 3 fades out over 2 s blinking 6 times a second",
         {{3.0, WM_KEYDOWN, VK_ESCAPE}},
         false, 5.0 + after,
         {{2.5, 0.0f, 0.5f}, {3.0 + q, 0.5f * q, kPromptAt6}, {4.0, 0.5f, 0.5f}}},
        {"Enter then Escape: the Escape reaches the window procedure and the level starts",
         {{3.0, WM_KEYDOWN, VK_RETURN}, {3.5, WM_KEYDOWN, VK_ESCAPE}},
         true, 3.5, {{3.0 + q, 0.5f * q, kPromptAt12}}},
        {"Two Escapes end the showing at once without the level",
         {{3.0, WM_KEYDOWN, VK_ESCAPE}, {3.25, WM_KEYDOWN, VK_ESCAPE}},
         false, 3.25, {}},
        {"Closing the window ends it at once with no choice made",
         {{1.0, WM_CLOSE, 0}}, false, 1.0, {}},
        {"Keys other than Enter and Escape do nothing",
         {{0.25, WM_KEYDOWN, 'A'}, {0.5, WM_KEYUP, VK_RETURN}, {2.5, WM_KEYDOWN, VK_ESCAPE}},
         false, 4.5 + after, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool result = !c.result;
        const std::vector<TitleFrame> frames = Show(c.keys, &result);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(result, c.result);
        EXPECT_NEAR(frames.back().t, c.lastFrame, 1e-4);
        EXPECT_TRUE(frames.back().done);
        // Every showing starts afresh at t = 0, loads the scenery and textures and lets them go.
        EXPECT_FLOAT_EQ(frames.front().t, 0.0f);
        EXPECT_FLOAT_EQ(frames.front().fade, 1.0f);
        EXPECT_GE(texturesWhileShowing_, 3u) << "banner, prompt and the scenery's bump map";
        EXPECT_GT(objectsWhileShowing_, 0u);
        EXPECT_EQ(TextureCache::Count(), 0u);
        EXPECT_EQ(title_.Model().Objects().Count(), 0u);
        for (const Moment& moment : c.moments) {
            const TitleFrame* frame = At(frames, moment.t);
            ASSERT_NE(frame, nullptr) << "no frame at t = " << moment.t;
            EXPECT_NEAR(frame->fade, moment.fade, 1e-4) << "t = " << moment.t;
            EXPECT_NEAR(frame->prompt, moment.prompt, 1e-3) << "t = " << moment.t;
        }
    }
    EXPECT_GT(device_.PresentCount(), 0);
}

TEST_F(TitleScreenTest, WithoutItsFilesTheTitleStillRunsAndEnds)
{
    ArchivePath = "/nonexistent/data.qzr";  // no scenery, banner, prompt or music
    bool result = false;
    const std::vector<TitleFrame> frames = Show({{0.0, WM_KEYDOWN, VK_ESCAPE}}, &result);
    EXPECT_FALSE(result);
    EXPECT_NEAR(frames.back().t, 2.0 + kStep, 1e-4);
    EXPECT_EQ(TextureCache::Count(), 0u);
}

}  // namespace
