#include "engine/platform/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Log, MaskComesFromTheEnvironmentWithFailuresAsDefault)
{
    const struct {
        const char* value;
        int mask;
    } cases[] = {{nullptr, 4}, {"", 4}, {"7", 7}, {"1", 1}, {"0", 0}, {"15", 7}, {"abc", 4}, {"-1", 4}, {"3x", 4}};
    for (const auto& c : cases) EXPECT_EQ(Log::MaskFromEnvironment(c.value), c.mask) << (c.value ? c.value : "null");
}

TEST(Log, ListenerReceivesFormattedLinesAtEveryLevel)
{
    std::vector<std::pair<int, std::string>> lines;
    Log::SetListener([&](int level, const std::string& text) { lines.emplace_back(level, text); });
    Log::Print(1, "width: %d\n", 640);
    Log::Print(2, "erro de parsing: entidade %s n\xE3o implementada\n", "Foo");
    Log::Section(1, "Sound System");
    Log::SetListener(nullptr);
    Log::Print(4, "not captured\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::make_pair(1, std::string("width: 640\n")));
    EXPECT_EQ(lines[1].second, "erro de parsing: entidade Foo n\xE3o implementada\n");
    EXPECT_NE(lines[2].second.find("Sound System"), std::string::npos);
}

TEST(Log, Latin1BecomesUtf8ForTheTerminal)
{
    EXPECT_EQ(Latin1ToUtf8("n\xE3o"), "n\xC3\xA3o");
    EXPECT_EQ(Latin1ToUtf8("plain"), "plain");
    EXPECT_EQ(Latin1ToUtf8("\xFF\x80"), "\xC3\xBF\xC2\x80");
}

}  // namespace
