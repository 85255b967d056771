#include "engine/platform/ModuleSong.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SoundFiles.h"

namespace {

constexpr int kRate = 44100;

// Returns the frames written.
size_t RenderFrames(ModuleSong& song, size_t frames)
{
    std::vector<int16_t> buffer(frames * 2);
    return song.Render(kRate, frames, buffer.data());
}

TEST(ModuleSong, LoadsStoppedPlaysOnceRestartedJumpsToAnOrderAtOnceAndIgnoresOrdersItLacks)
{
    const std::vector<uint8_t> bytes = MakeModule(32, false);
    std::unique_ptr<ModuleSong> song = ModuleSong::FromMemory(bytes.data(), bytes.size());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->OrderCount(), 32);
    EXPECT_FALSE(song->Playing());
    EXPECT_EQ(RenderFrames(*song, 100), 0u);
    song->Restart();
    std::vector<int16_t> buffer(kRate / 5 * 2);
    ASSERT_EQ(song->Render(kRate, kRate / 5, buffer.data()), static_cast<size_t>(kRate / 5));
    EXPECT_TRUE(std::any_of(buffer.begin(), buffer.end(), [](int16_t v) { return v != 0; }));
    for (int order : {11, 18, 27, 29, 3}) {
        SCOPED_TRACE(order);
        ASSERT_TRUE(song->SetOrder(order));
        EXPECT_EQ(song->Order(), order);
        RenderFrames(*song, kRate / 10);
        EXPECT_EQ(song->Order(), order) << "a 64-row order lasts over a second";
    }
    EXPECT_FALSE(song->SetOrder(32));
    EXPECT_FALSE(song->SetOrder(-1));
    EXPECT_EQ(song->Order(), 3);
    song->Restart();
    EXPECT_EQ(song->Order(), 0);
    EXPECT_TRUE(song->Playing());
    song->Stop();
    EXPECT_EQ(RenderFrames(*song, 100), 0u);
}

TEST(ModuleSong, RefusesWhatIsNotAModuleInMemoryOrOnTheDisk)
{
    const std::vector<uint8_t> bytes = MakeModule(4, false);
    EXPECT_EQ(ModuleSong::FromMemory(nullptr, 10), nullptr);
    EXPECT_EQ(ModuleSong::FromMemory(bytes.data(), 0), nullptr);
    const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'};
    EXPECT_EQ(ModuleSong::FromMemory(text.data(), text.size()), nullptr);
    const std::vector<uint8_t> zeros(2000, 0);
    EXPECT_EQ(ModuleSong::FromMemory(zeros.data(), zeros.size()), nullptr);

    TempDir dir;
    EXPECT_EQ(ModuleSong::FromFile(dir.Path("missing.it").c_str()), nullptr);
    EXPECT_EQ(ModuleSong::FromFile(dir.Write("empty.it", std::string()).c_str()), nullptr);
    EXPECT_EQ(ModuleSong::FromFile(nullptr), nullptr);
}

}  // namespace
