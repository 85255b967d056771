#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "GameFixture.h"
#include "engine/platform/Log.h"
#include "engine/unrarlib/Crc32.h"
#include "game/shell/ReplayFeed.h"
#include "game/shell/ReplayFile.h"
#include "game/shell/ReplayStore.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

namespace fs = std::filesystem;

using ReplayTest = GameFixture;

// A play of everything a player does: steps of 1/200 to 1/10 s, mouse motion, the arrows, the
// stick, the button, and at the last frame the message that ends it.
Replay Varied(int frames, ReplayMessage last)
{
    std::mt19937 random(20250314);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Replay replay;
    for (int i = 0; i < frames; ++i) {
        ReplayFrame frame;
        frame.dt = 0.005f + 0.001f * static_cast<float>(pick(95));
        FrameInput& in = frame.input;
        in.dx = pick(41) - 20;
        in.dy = pick(4) == 0 ? pick(41) - 20 : 0;
        for (bool* held : {&in.button, &in.up, &in.down, &in.left, &in.right}) *held = pick(held == &in.button ? 3 : 4) == 0;
        in.stickX = pick(2) == 0 ? static_cast<float>(pick(201) - 100) / 100.0f : 0.0f;
        in.stickY = static_cast<float>(pick(201) - 100) / 100.0f;
        replay.frames.push_back(frame);
    }
    replay.frames.back().Take(last);
    return replay;
}

// Each frame of a play as the trace would tell it.
std::vector<std::string> PlayThrough(Game& game, const Replay& replay)
{
    ReplayFeed feed(replay);
    game.inputFeed = &feed;
    game.BeginPlay();
    std::vector<std::string> frames;
    while (!game.QuitRequested() && !feed.Finished()) {
        game.PlayFrame();
        std::string line = std::to_string(game.ship.position.x) + " " + std::to_string(game.ship.position.z) + " " +
                           std::to_string(game.ship.health) + " " + std::to_string(game.fade);
        for (const GameEvent& event : game.Events()) line += std::string(" ") + event.kind + ":" + (event.subject ? event.subject : "");
        frames.push_back(line);
    }
    game.inputFeed = nullptr;
    game.EndPlay();
    return frames;
}

TEST_F(ReplayTest, ARecordedPlayPlaysBackFrameForFrameFromItsFile)
{
    Play(ShortLevelScript(), 0.1f);
    game->EndPlay();
    const struct { ReplayMessage last; const char* reason; } cases[] = {{ReplayMessage::kEscape, "escape"}, {ReplayMessage::kQuit, "window closed"}};
    for (const auto& c : cases) {
        const Replay played = Varied(400, c.last);
        // What the previous play left behind: a cooldown still running, the blink clock's phase.
        game->ship.fireCooldown = 0.35f;
        PlayerShip::drawCounter = 3;
        Replay recorded;
        game->Record(&recorded);
        const std::vector<std::string> live = PlayThrough(*game, played);
        game->Record(nullptr);
        ASSERT_EQ(live.size(), played.frames.size());
        EXPECT_NE(live.back().find(std::string("quit:") + c.reason), std::string::npos) << live.back();
        EXPECT_TRUE(recorded.frames == played.frames) << "every step, input and taken message as played";
        EXPECT_EQ(recorded.fireCooldown, 0.35f);
        EXPECT_EQ(recorded.script, "teste.lvl");

        const std::vector<uint8_t> bytes = ReplayFile::Encode(recorded);
        EXPECT_LT(bytes.size(), recorded.frames.size() * 16) << "a few bytes a frame";
        Replay read;
        std::string error;
        ASSERT_TRUE(ReplayFile::Decode(bytes.data(), bytes.size(), &read, &error)) << error;
        EXPECT_TRUE(read.frames == recorded.frames);
        game->ship.fireCooldown = 9.0f;  // as another play might leave it
        PlayerShip::drawCounter = 0;
        game->StartAs(read);
        EXPECT_EQ(PlayThrough(*game, read), live);
    }
}

// A replay that differs in nothing but a flipped bit of the checksum's input.
std::vector<uint8_t> Resealed(std::vector<uint8_t> bytes)
{
    const uint32_t crc = Crc32(bytes.data() + ReplayFile::kHeaderSize, bytes.size() - ReplayFile::kHeaderSize);
    for (int i = 0; i < 4; ++i) bytes[20 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return bytes;
}

Replay Small()
{
    Replay replay = Varied(3, ReplayMessage::kEscape);
    replay.script = "teste.lvl";
    return replay;
}

// Where frame 0's flags byte lies: after the header, the name and the frame's time step.
size_t FirstFlags(const Replay& replay)
{
    return ReplayFile::kHeaderSize + replay.script.size() + 4;
}

TEST(ReplayFile, RefusesWhatIsNotACompleteIntactReplayWithoutTouchingTheResult)
{
    const Replay small = Small();
    const std::vector<uint8_t> good = ReplayFile::Encode(small);
    const auto with = [&](auto change) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        return bytes;
    };
    Replay outOfRange = small;
    outOfRange.frames[1].dt = 0.5f;
    Replay badStick = small;
    badStick.frames[2].input.stickX = std::nanf("");
    const size_t flags = FirstFlags(small);
    // Frame 0 given a mouse motion of these bytes, the size and check in the header made to match.
    const auto withMotion = [&](std::initializer_list<uint8_t> motion) {
        return Resealed(with([&](auto& b) {
            b[flags] |= 0x20;
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(flags) + 1, motion);
            for (int i = 0; i < 4; ++i) b[16 + i] = static_cast<uint8_t>((b.size() - ReplayFile::kHeaderSize) >> (8 * i));
        }));
    };
    const struct { const char* name; std::vector<uint8_t> bytes; const char* error; } cases[] = {
        {"empty", {}, "cut short in its header"},
        {"something else", with([](auto& b) { b[0] = 'M'; }), "not a replay"},
        {"cut in the header", with([](auto& b) { b.resize(30); }), "cut short in its header"},
        {"cut in the frames", with([](auto& b) { b.pop_back(); }), "cut short: "},
        {"a byte too many", with([](auto& b) { b.push_back(0); }), "1 bytes too many"},
        {"a flipped byte", with([&](auto& b) { b[flags + 1] ^= 1; }), "damaged: its check does not match"},
        {"a later version", with([](auto& b) { b[8] = 2; }), "version 2, this game reads version 1"},
        {"a larger header", with([](auto& b) { b[10] = 48; }), "a header of 48 bytes"},
        {"oversized", with([](auto& b) { b[15] = 0x7f; }), "larger than a replay may be"},
        {"a frame more than it holds", with([](auto& b) { ++b[12]; }), "frame 3: cut short"},
        {"a name longer than what follows", with([](auto& b) { b[36] = 255; }), "its header does not add up"},
        {"a step out of range", ReplayFile::Encode(outOfRange), "frame 1: a time step outside 0 to 0.1 s"},
        {"a stick that is not a number", ReplayFile::Encode(badStick), "frame 2: a stick position outside -1 to 1"},
        {"an unknown message", Resealed(with([&](auto& b) { b[b.size() - 1] = 7; })), "an unknown message"},
        {"too many messages", Resealed(with([&](auto& b) { b[b.size() - 2] = 5; })), "a message count outside 1 to 4"},
        {"motion longer than 32 bits", withMotion({0xff, 0xff, 0xff, 0xff, 0xff, 0x01}), "frame 0: a mouse motion cut short or longer than 32 bits"},
        {"motion past 32 bits in its fifth byte", withMotion({0xff, 0xff, 0xff, 0xff, 0x1f}), "frame 0: a mouse motion cut short or longer than 32 bits"},
    };
    for (const auto& c : cases) {
        Replay result;
        result.script = "untouched";
        std::string error;
        EXPECT_FALSE(ReplayFile::Decode(c.bytes.data(), c.bytes.size(), &result, &error)) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(result.script, "untouched") << c.name;
    }

    TempFolder folder("replay-file");
    std::string error;
    Replay read;
    EXPECT_FALSE(ReplayFile::Load(folder / "missing.replay", &read, &error));
    EXPECT_EQ(error, "cannot read it");
    // Refused by its size alone: the file is sparse, nothing is read.
    std::ofstream(folder / "huge.replay").put('Z');
    fs::resize_file(folder / "huge.replay", ReplayFile::kMaxFileSize + 1);
    EXPECT_FALSE(ReplayFile::Load(folder / "huge.replay", &read, &error));
    EXPECT_EQ(error, "larger than a replay may be");
    EXPECT_FALSE(ReplayFile::Save(folder / "no/such/folder.replay", small, &error));
    ASSERT_TRUE(ReplayFile::Save(folder / "small.replay", small, &error)) << error;
    ASSERT_TRUE(ReplayFile::Load(folder / "small.replay", &read, &error)) << error;
    EXPECT_TRUE(read.frames == small.frames);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2) << "no temporary file left";
}

TEST(ReplayStore, KeepsTheLastTenAndAFolderItCannotWriteCostsOnlyTheReplayAndOneLine)
{
    TempFolder folder("replay-store");
    const std::string replays = folder / "state/zelmar/replays/";
    const Replay replay = Small();
    std::vector<std::string> kept;
    for (int i = 0; i < 12; ++i) kept.push_back(ReplayStore::KeepIn(replays, replay, 1741944413.5 + 60.0 * (i / 2)));
    EXPECT_EQ(kept[0], replays + "20250314T092653.500Z.replay");
    EXPECT_EQ(kept[1], replays + "20250314T092653.501Z.replay") << "the same moment twice";
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(replays)) left.push_back(entry.path().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, std::vector<std::string>(kept.begin() + 2, kept.end())) << "the oldest two are gone";

    int lines = 0;
    Log::SetListener([&](int level, const std::string&) { lines += level == 4 ? 1 : 0; });
    std::ofstream(folder / "file") << "a file where a folder should be";
    EXPECT_EQ(ReplayStore::KeepIn(folder / "file/zelmar/replays/", replay, 0.0), "");
    Replay tooLong = replay;
    tooLong.complete = false;
    EXPECT_EQ(ReplayStore::KeepIn(replays, tooLong, 0.0), "");
    Log::SetListener(nullptr);
    EXPECT_EQ(lines, 2);

    const struct { const char* state; const char* home; std::string folder; } environments[] = {
        {"/s", "/h", "/s/zelmar/replays/"},
        {"relative", "/h", "/h/.local/state/zelmar/replays/"},
        {nullptr, "/h", "/h/.local/state/zelmar/replays/"},
        {nullptr, nullptr, ""},
    };
    const char* const names[] = {"XDG_STATE_HOME", "HOME"};
    std::vector<std::pair<bool, std::string>> saved;
    for (const char* name : names) saved.emplace_back(std::getenv(name) != nullptr, std::getenv(name) ? std::getenv(name) : "");
    for (const auto& e : environments) {
        e.state ? setenv("XDG_STATE_HOME", e.state, 1) : unsetenv("XDG_STATE_HOME");
        e.home ? setenv("HOME", e.home, 1) : unsetenv("HOME");
        EXPECT_EQ(ReplayStore::Folder(), e.folder);
    }
    for (size_t i = 0; i < saved.size(); ++i) saved[i].first ? setenv(names[i], saved[i].second.c_str(), 1) : unsetenv(names[i]);
}

}  // namespace
