#include "engine/platform/ModuleSong.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SoundFiles.h"

namespace {

constexpr int kRate = 44100;

std::unique_ptr<ModuleSong> Song(int orders, bool shortOrders)
{
    const std::vector<uint8_t> bytes = MakeModule(orders, shortOrders);
    return ModuleSong::FromMemory(bytes.data(), bytes.size());
}

// Renders whole seconds; returns the frames written.
size_t RenderFrames(ModuleSong& song, size_t frames)
{
    std::vector<int16_t> buffer(frames * 2);
    return song.Render(kRate, frames, buffer.data());
}

TEST(ModuleSong, LoadsTheGeneratedModuleWithItsOrders)
{
    std::unique_ptr<ModuleSong> song = Song(32, false);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->OrderCount(), 32);
    EXPECT_FALSE(song->Playing());
}

TEST(ModuleSong, PlayingProducesSound)
{
    std::unique_ptr<ModuleSong> song = Song(4, false);
    ASSERT_NE(song, nullptr);
    song->Restart();
    std::vector<int16_t> buffer(kRate / 5 * 2);
    ASSERT_EQ(song->Render(kRate, kRate / 5, buffer.data()), static_cast<size_t>(kRate / 5));
    EXPECT_TRUE(std::any_of(buffer.begin(), buffer.end(), [](int16_t v) { return v != 0; }));
}

TEST(ModuleSong, AStoppedSongRendersNothing)
{
    std::unique_ptr<ModuleSong> song = Song(4, false);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(RenderFrames(*song, 100), 0u);
    song->Restart();
    song->Stop();
    EXPECT_EQ(RenderFrames(*song, 100), 0u);
}

TEST(ModuleSong, AJumpToAnOrderIsAtThatOrderAtOnce)
{
    std::unique_ptr<ModuleSong> song = Song(32, false);
    ASSERT_NE(song, nullptr);
    song->Restart();
    for (int order : {11, 18, 27, 29, 3}) {
        SCOPED_TRACE(order);
        RenderFrames(*song, 1000);
        ASSERT_TRUE(song->SetOrder(order));
        EXPECT_EQ(song->Order(), order);
        RenderFrames(*song, kRate / 10);
        EXPECT_EQ(song->Order(), order) << "a 64-row order lasts over a second";
    }
}

TEST(ModuleSong, AnOrderTheSongDoesNotHaveLeavesThePositionAlone)
{
    std::unique_ptr<ModuleSong> song = Song(8, false);
    ASSERT_NE(song, nullptr);
    song->Restart();
    ASSERT_TRUE(song->SetOrder(5));
    EXPECT_FALSE(song->SetOrder(8));
    EXPECT_FALSE(song->SetOrder(-1));
    EXPECT_EQ(song->Order(), 5);
}

TEST(ModuleSong, RestartGoesBackToTheFirstOrder)
{
    std::unique_ptr<ModuleSong> song = Song(32, false);
    ASSERT_NE(song, nullptr);
    song->Restart();
    song->SetOrder(20);
    RenderFrames(*song, 1000);
    song->Restart();
    EXPECT_EQ(song->Order(), 0);
    EXPECT_TRUE(song->Playing());
}

TEST(ModuleSong, WithoutLoopingTheSongEndsAndWithLoopingItGoesOn)
{
    std::unique_ptr<ModuleSong> once = Song(2, true);
    std::unique_ptr<ModuleSong> looping = Song(2, true);
    ASSERT_NE(once, nullptr);
    ASSERT_NE(looping, nullptr);
    looping->SetLooping(true);
    once->Restart();
    looping->Restart();
    EXPECT_LT(RenderFrames(*once, kRate * 2), static_cast<size_t>(kRate * 2));
    EXPECT_FALSE(once->Playing());
    EXPECT_EQ(RenderFrames(*looping, kRate * 2), static_cast<size_t>(kRate * 2));
    EXPECT_TRUE(looping->Playing());
}

TEST(ModuleSong, RefusesWhatIsNotAModule)
{
    std::vector<uint8_t> bytes = MakeModule(4, false);
    EXPECT_EQ(ModuleSong::FromMemory(nullptr, 10), nullptr);
    EXPECT_EQ(ModuleSong::FromMemory(bytes.data(), 0), nullptr);
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'};
    EXPECT_EQ(ModuleSong::FromMemory(text.data(), text.size()), nullptr);
    const std::vector<uint8_t> zeros(2000, 0);
    EXPECT_EQ(ModuleSong::FromMemory(zeros.data(), zeros.size()), nullptr);
}

TEST(ModuleSong, LoadsFromTheDiskAndFailsForMissingFiles)
{
    TempDir dir;
    const std::string path = dir.Write("music.mod", MakeModule(12, false));
    std::unique_ptr<ModuleSong> song = ModuleSong::FromFile(path.c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->OrderCount(), 12);
    EXPECT_EQ(ModuleSong::FromFile(dir.Path("missing.it").c_str()), nullptr);
    EXPECT_EQ(ModuleSong::FromFile(dir.Write("empty.it", {}).c_str()), nullptr);
    EXPECT_EQ(ModuleSong::FromFile(nullptr), nullptr);
}

}  // namespace
