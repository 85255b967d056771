#include "engine/platform/Log.h"

#include <gtest/gtest.h>

namespace {

TEST(Log, MaskComesFromTheEnvironmentWithFailuresAsDefault)
{
    const struct { const char* value; int mask; } cases[] = {{nullptr, 4}, {"", 4}, {"7", 7}, {"1", 1}, {"0", 0}, {"15", 7}, {"abc", 4}, {"-1", 4}, {"3x", 4}};
    for (const auto& c : cases) EXPECT_EQ(Log::MaskFromEnvironment(c.value), c.mask) << (c.value ? c.value : "null");
}

TEST(Log, Latin1BecomesUtf8ForTheTerminal)
{
    EXPECT_EQ(Latin1ToUtf8("n\xE3o"), "n\xC3\xA3o");
    EXPECT_EQ(Latin1ToUtf8("plain"), "plain");
    EXPECT_EQ(Latin1ToUtf8("\xFF\x80"), "\xC3\xBF\xC2\x80");
}

}  // namespace
