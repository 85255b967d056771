#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../unrarlib/CommandSupport.h"
#include "PlayData.h"
#include "SoundFiles.h"

namespace {

struct Play {
    CommandResult result;
    std::vector<std::string> trace;  // one JSON line a frame
    std::string error;
};

class PlayCommand : public ::testing::Test {
protected:
    // harntool play on the stand-in data with this script; arguments after --data.
    Play Run(const std::string& script, const std::string& args)
    {
        EXPECT_TRUE(WritePlayData(data_.Path(""), script));
        return RunIn(data_.Path(""), args);
    }
    Play RunIn(const std::string& folder, const std::string& args)
    {
        Play play;
        const std::string trace = data_.Path("trace.jsonl"), error = data_.Path("error.txt");
        std::filesystem::remove(trace);
        play.result = RunCommand("SDL_AUDIODRIVER=dummy " + std::string(HARN_BINARY_DIR) + "/harntool play --data " +
                                 Quote(folder) + " --trace " + Quote(trace) + " " + args + " 2>" + Quote(error));
        std::ifstream lines(trace);
        for (std::string line; std::getline(lines, line);) play.trace.push_back(line);
        const std::vector<uint8_t> said = TempFolder::Read(error);
        play.error.assign(said.begin(), said.end());
        return play;
    }
    // A file of its own holding the text.
    std::string Input(const std::string& text)
    {
        const std::string path = data_.Path("input" + std::to_string(inputs_++) + ".txt");
        std::ofstream(path) << text;
        return path;
    }
    // The frame numbers of the trace lines that hold the text.
    static std::vector<int> FramesWith(const Play& play, const std::string& text)
    {
        std::vector<int> frames;
        for (size_t i = 0; i < play.trace.size(); ++i)
            if (play.trace[i].find(text) != std::string::npos) frames.push_back(static_cast<int>(i));
        return frames;
    }

    TempDir data_;
    int inputs_ = 0;
};

TEST_F(PlayCommand, TheAutopilotFliesTheLevelToTheCreditsTheSameWayEveryTimeAndItsRecordingPlaysBackSo)
{
    const std::string recording = data_.Path("autopilot.replay");
    const Play first = Run(ShortLevelScript(), "--dt 0.05 --autopilot --record " + recording);
    const Play second = RunIn(data_.Path(""), "--dt 0.05 --autopilot");
    const Play replayed = RunIn(data_.Path(""), "--replay " + recording);
    EXPECT_EQ(replayed.trace, first.trace);
    ASSERT_EQ(first.result.status, 0) << first.error;
    EXPECT_NE(first.result.output.find("\"bossDestroyed\":true,\"stopped\":\"credits\""), std::string::npos) << first.result.output;
    EXPECT_EQ(first.trace, second.trace);
    const auto withoutTime = [](const std::string& summary) { return summary.substr(0, summary.find("\"meanCpuMs\"")); };
    EXPECT_EQ(withoutTime(first.result.output), withoutTime(second.result.output));
    EXPECT_NEAR(FramesWith(first, "\"camera\":\"boss\"").size() * 0.05, 7.9, 0.051) << "the intro";
}

TEST_F(PlayCommand, TheAutopilotFliesTheGamesOwnLevelToTheCredits)
{
    const std::string folder = HARN_BINARY_DIR;
    // The build makes the game's data beside harntool.
    ASSERT_TRUE(std::filesystem::is_regular_file(folder + "/data.qzr")) << "no data.qzr in " << folder;
    const Play play = RunIn(folder, "--autopilot");
    ASSERT_EQ(play.result.status, 0) << play.error;
    EXPECT_NE(play.result.output.find("\"bossDestroyed\":true,\"stopped\":\"credits\""), std::string::npos) << play.result.output;
}

TEST_F(PlayCommand, RefusesWhatItCannotUseAndPlaysOnWithDamagedData)
{
    ASSERT_TRUE(WritePlayData(data_.Path(""), ShortLevelScript()));
    std::filesystem::create_directories(data_.Path("cut"));
    std::filesystem::resize_file(data_.Path("data.qzr"), std::filesystem::file_size(data_.Path("data.qzr")) / 3);
    std::filesystem::copy_file(data_.Path("data.qzr"), data_.Path("cut/data.qzr"));
    const std::string dir = data_.Path("");
    const struct { std::string folder, args; int status; const char* says; } cases[] = {
        {dir, "--frames 0", 2, "usage: harntool play"},
        {dir, "--dt 0.5", 2, "usage: harntool play"},
        {dir, "--device vulkan", 2, "usage: harntool play"},
        {dir, "--replay x.replay --autopilot", 2, "usage: harntool play"},
        {dir, "--replay " + Input("0 0 0 1\n"), 1, "input0.txt: not a replay"},
        {dir, "--replay " + data_.Path("missing.replay"), 1, "missing.replay: cannot read it"},
        {dir, "--frames 3 --record " + data_.Path("none/x.replay"), 1, "cannot write"},
        {dir, "--screenshot a.png", 2, "usage: harntool play"},
        {dir, "--screenshot a.png --at 3", 2, "--screenshot needs --device gl"},
        {data_.Path("none"), "", 1, "cannot read"},
        {dir, "--input " + data_.Path("missing.txt"), 1, "cannot read"},
        {dir, "--input " + Input("0 0 0 0\nx 1 1 1\n"), 1, "line 2: frame 'x'"},
        {data_.Path("cut"), "--frames 30 --input " + Input("0 8 0 1\n20 0 0 0 LEFT\n"), 0, nullptr},
    };
    for (const auto& c : cases) {
        const Play play = RunIn(c.folder, c.args);
        EXPECT_EQ(play.result.status, c.status) << c.args << "\n" << play.error;
        if (c.says != nullptr) {
            EXPECT_NE(play.error.find(c.says), std::string::npos) << c.args << "\n" << play.error;
        } else {
            EXPECT_EQ(play.trace.size(), 30u) << "a damaged archive leaves the level empty, and the play goes on";
            const std::vector<int> fired = FramesWith(play, "{\"fire\":\"player\"}");  // while the input holds the button
            ASSERT_FALSE(fired.empty());
            EXPECT_EQ(fired.front(), 0);
            EXPECT_LT(fired.back(), 20);
        }
    }
}

}  // namespace
