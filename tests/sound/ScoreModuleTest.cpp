#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/sound/ItWriter.h"
#include "tools/sound/ModuleBuilder.h"
#include "tools/sound/ScoreReader.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

constexpr int kRate = 44100;

// Two pieces over two channels: the first with a skipped order, the second looping to its
// second order; a held lead (sustain loop) and a pluck (no loop).
const char* const kScore = R"(song TESTSONG
sample lead  lead  volume 50 rate 22050
sample pluck pluck
channel a pan 16
channel b pan 48 volume 40
phrase tune @lead C-5 . E-5 . G-5 . == . | .*8
pattern one 32
  a  tune*2
  b  C-6@pluck/30 .*15 C-6@pluck!D04 .*15
pattern two 48
  a  tune+2*3
pattern held 64
  a  C-5@lead .*47 == .*15
piece first orders 0-2 speed 5 tempo 150
  one two
piece second orders 3- loop 4
  held one
)";

std::vector<uint8_t> Build(const std::string& text, std::string* error)
{
    Score score;
    ScoreReader reader(&score);
    ItModule module;
    std::vector<uint8_t> bytes;
    if (reader.Read(text, "test.score", error) && BuildModule(score, &module, error)) WriteItModule(module, &bytes, error);
    return bytes;
}

// The order playing after each of count steps of 0.1 s, and the peak of the last step.
std::vector<int> Orders(openmpt::module& module, int count, int* lastPeak = nullptr)
{
    std::vector<int> orders;
    std::vector<int16_t> block(kRate / 10 * 2);
    for (int i = 0; i < count; ++i) {
        module.read_interleaved_stereo(kRate, kRate / 10, block.data());
        orders.push_back(module.get_current_order());
    }
    if (lastPeak != nullptr) {
        *lastPeak = 0;
        for (int16_t v : block) *lastPeak = std::max(*lastPeak, std::abs(static_cast<int>(v)));
    }
    return orders;
}

TEST(ScoreModule, EveryFieldTheGameReliesOnReadsBackThroughTheModulePlayer)
{
    std::string error;
    const std::vector<uint8_t> bytes = Build(kScore, &error);
    ASSERT_FALSE(bytes.empty()) << error;
    openmpt::module module(bytes);

    // Orders: each piece on its run, the unused slot skipped; patterns stored once each way they
    // are used ("one" opens the first piece with speed and tempo and ends the second with a jump).
    ASSERT_EQ(module.get_num_orders(), 5);
    const int expectedOrders[] = {0, 1, 65534, 2, 3};
    for (int order = 0; order < 5; ++order) EXPECT_EQ(module.get_order_pattern(order), expectedOrders[order]) << order;
    ASSERT_EQ(module.get_num_patterns(), 4);
    const int expectedRows[] = {32, 48, 64, 32};
    for (int pattern = 0; pattern < 4; ++pattern) EXPECT_EQ(module.get_pattern_num_rows(pattern), expectedRows[pattern]);
    EXPECT_EQ(module.get_num_channels(), 2);

    struct Field { int pattern, row, channel, field; const char* text; };
    const Field fields[] = {
        {0, 0, 0, OPENMPT_MODULE_COMMAND_NOTE, "C-5"},  {0, 0, 0, OPENMPT_MODULE_COMMAND_INSTRUMENT, "01"},
        {0, 4, 0, OPENMPT_MODULE_COMMAND_NOTE, "G-5"},  {0, 6, 0, OPENMPT_MODULE_COMMAND_NOTE, "=="},
        {0, 0, 1, OPENMPT_MODULE_COMMAND_VOLUME, "1E"}, {0, 16, 1, OPENMPT_MODULE_COMMAND_EFFECT, "D"},
        {0, 16, 1, OPENMPT_MODULE_COMMAND_PARAMETER, "04"},
        {0, 0, 1, OPENMPT_MODULE_COMMAND_EFFECT, "A"},  {0, 0, 1, OPENMPT_MODULE_COMMAND_PARAMETER, "05"},
        {0, 0, 0, OPENMPT_MODULE_COMMAND_EFFECT, "T"},  {0, 0, 0, OPENMPT_MODULE_COMMAND_PARAMETER, "96"},
        {1, 0, 0, OPENMPT_MODULE_COMMAND_NOTE, "D-5"},  {3, 0, 1, OPENMPT_MODULE_COMMAND_EFFECT, "."},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(testing::Message() << "pattern " << f.pattern << " row " << f.row << " channel " << f.channel);
        EXPECT_EQ(module.format_pattern_row_channel_command(f.pattern, f.row, f.channel, f.field).substr(0, std::string(f.text).size()), f.text);
    }

    ASSERT_EQ(module.get_num_samples(), 2);
    EXPECT_EQ(module.get_sample_names().at(1), "pluck");

    // Speed and tempo: 5 ticks a row at 150 makes a row last 2.5 × 5 / 150 s.
    module.set_position_order_row(0, 0);
    Orders(module, 1);
    EXPECT_EQ(module.get_current_speed(), 5);
    EXPECT_EQ(module.get_current_tempo(), 150);
}

TEST(ScoreModule, EachPieceLoopsWithinItsOrdersAndAHeldNoteSustainsOnItsLoopUntilReleased)
{
    std::string error;
    const std::vector<uint8_t> bytes = Build(kScore, &error);
    ASSERT_FALSE(bytes.empty()) << error;
    openmpt::module module(bytes);
    module.set_repeat_count(-1);

    // The first piece: 32 + 48 rows of 1/12 s, 6.7 s a round; twice round stays in orders 0..1.
    module.set_position_order_row(0, 0);
    const std::vector<int> first = Orders(module, 140);
    EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](int order) { return order == 0 || order == 1; }));
    EXPECT_EQ(first[40], 1);
    EXPECT_EQ(first[70], 0) << "back at the start after one round";

    // The second piece holds its lead for 48 rows (the sample itself is under 1.5 s long), lets
    // it go, then plays "one" and returns to order 4, not 3.
    module.set_position_order_row(3, 0);
    int peak = 0;
    std::vector<int> second = Orders(module, 40, &peak);
    EXPECT_EQ(second.back(), 3);
    EXPECT_GT(peak, 200) << "a held note keeps sounding on its loop";
    Orders(module, 30, &peak);
    EXPECT_LT(peak, 30) << "and fades once released";
    second = Orders(module, 170);
    EXPECT_TRUE(std::all_of(second.begin(), second.end(), [](int order) { return order == 3 || order == 4; }));
    EXPECT_NE(std::find(second.begin(), second.end(), 4), second.end());
    EXPECT_EQ(std::find(second.begin() + 70, second.end(), 3), second.end()) << "the loop goes to order 4";
}

// Each broken statement, read after a good start, is refused with the file, its line and what is wrong.
TEST(ScoreReader, ErrorsNameTheFileAndLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"phrase p @x C-5 H-4", "bad.score:1: unknown note 'H-4'"},
        {"phrase p @x B#9", "bad.score:1: unknown note"},
        {"pattern p 250", "bad.score:1: '250' is not a whole number from 32 to 200"},
        {"pattern p 32\n  a C-5@x*33", "bad.score:2: channel 'a' runs past"},
        {"pattern p 32\npiece q orders 0-0\n  p p", "bad.score:2: piece 'q' has 2 patterns, more than its orders hold"},
        {"pattern p 32\npiece q orders 0-3\n  p\npiece r orders 2-\n  p", "bad.score:4: orders 2- overlap"},
        {"pattern p 32\npiece q orders 0-3 loop 2\n  p", "bad.score:2: piece 'q' loops to an order outside"},
        {"pattern p 32\npiece q orders 0-300\n  p", "bad.score:2: orders are FIRST-LAST"},
        {"piece q orders 0-3\n  nothing", "bad.score:2: unknown pattern 'nothing'"},
        {"pattern p 32\n  a C-5", "bad.score:2: note 'C-5' has no sample"},
        {"pattern p 32\n  b .", "bad.score:2: unknown channel 'b'"},
        {"phrase p C-5@y", "bad.score:1: unknown sample 'y'"},
        {"phrase p @x C-5/65", "bad.score:1: a volume is /0 to /64"},
        {"phrase p @x C-5!Z0G", "bad.score:1: a command is"},
        {"phrase q @x C-5\npattern p 32\n  a q+80", "bad.score:3: 'q+80' moves a note out"},
        {"sample y lead sparkle 1", "bad.score:1: voice 'lead' has no setting 'sparkle'"},
        {"sample y lead bright 1e9", "bad.score:1: 'bright' takes a number from"},
        {"sample y organ", "bad.score:1: unknown voice 'organ'"},
        {"sample x kick", "bad.score:1: sample 'x' is already declared"},
        {"sample y kick rate 30000", "bad.score:1: a sample's rate is"},
        {"tempo 20", "bad.score:1: '20' is not a whole number from 32 to 255"},
        {"drums loud", "bad.score:1: unknown statement 'drums'"},
        {"# nothing yet\n\n  . . .", "bad.score:3: an indented line with nothing above it"},
    };
    for (const auto& [text, expected] : cases) {
        Score score;
        ScoreReader reader(&score);
        std::string error;
        ASSERT_TRUE(reader.Read("song S\nsample x pluck\nchannel a\n", "kit.score", &error)) << error;
        EXPECT_FALSE(reader.Read(text, "bad.score", &error)) << text;
        EXPECT_EQ(error.substr(0, std::string(expected).size()), expected) << error;
    }
}

TEST(ScoreModule, TheGeneratorStopsAtABrokenScoreWithExitOneAndWritesNoFile)
{
    TempFolder dir("zelmar-sound");
    std::filesystem::create_directories(dir / "out");
    std::ofstream(dir / "broken.score") << "song S\nsample x pluck\nchannel a\npattern p 32\n  a C-5@x . Q-4\n";
    const struct {
        const char* score;
        const char* line;
    } cases[] = {{"broken.score", "broken.score:5: unknown note 'Q-4'"}, {"missing.score", "missing.score"}};
    for (const auto& c : cases) {
        const CommandResult run = RunCommand(HARN_BINARY_DIR "/tools/sound/zelmar_sound " + (dir / "out") + " " + (dir / c.score) + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
        EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
    }
}

TEST(ScoreModule, TheWriterRefusesWhatTheFormatCannotHold)
{
    ItModule module;
    module.channels = 1;
    module.channelPan = {32};
    module.channelVolume = {64};
    module.patterns.push_back(ItPattern(32, 1));
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(WriteItModule(module, &bytes, &error)) << error;

    struct Case {
        const char* what;
        void (*spoil)(ItModule&);
    };
    const Case cases[] = {
        {"order past the patterns", [](ItModule& m) { m.orders = {1}; }},
        {"too few rows", [](ItModule& m) { m.patterns[0] = ItPattern(31, 1); }},
        {"note out of range", [](ItModule& m) { m.patterns[0].At(0, 0).note = 120; }},
        {"missing sample", [](ItModule& m) { m.patterns[0].At(0, 0).sample = 1; }},
        {"loop past the end", [](ItModule& m) { m.samples.push_back(ItSample{.name = "s", .pcm = {1, 2}, .loop = true, .loopEnd = 3}); }},
        {"no channels", [](ItModule& m) { m.channels = 0; }},
        {"tempo too slow", [](ItModule& m) { m.initialTempo = 31; }},
    };
    for (const Case& c : cases) {
        ItModule spoiled = module;
        c.spoil(spoiled);
        EXPECT_FALSE(WriteItModule(spoiled, &bytes, &error)) << c.what;
    }
}

}  // namespace
