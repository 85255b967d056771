#include "game/world/ScriptReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/Log.h"
#include "engine/platform/ResourceFile.h"
#include "tests/unrarlib/TempFolder.h"

namespace {

using Blocks = std::vector<std::pair<std::string, std::vector<std::string>>>;

// The tokens are copied only once the whole text is read: the reader's pointers stay valid until it goes.
Blocks Split(const std::string& text)
{
    ScriptReader reader;
    reader.OpenText(text.data(), text.size());
    std::vector<std::pair<const char*, std::vector<const char*>>> read;
    while (const char* type = reader.NextEntity()) {
        read.push_back({type, {}});
        while (const char* token = reader.NextToken()) read.back().second.push_back(token);
    }
    Blocks blocks;
    for (const auto& [type, tokens] : read) blocks.push_back({type, {tokens.begin(), tokens.end()}});
    return blocks;
}

TEST(ScriptReader, SplitsScriptsByTheLexicalRules)
{
    std::string many = "A { ";
    std::vector<std::string> tokens;
    for (int i = 0; i < 1000; ++i) many += (tokens.emplace_back("token" + std::to_string(i))) + " ";
    const struct { const char* name; std::string text; Blocks expected; } cases[] = {
        {"a thousand tokens", many + "}", {{"A", tokens}}},
        {"typical block", "Sentinel { position 1 -2.5 wave True speed 3 }",
         {{"Sentinel", {"position", "1", "-2.5", "wave", "True", "speed", "3"}}}},
        {"keywords without braces are empty blocks", "A B { x y }", {{"A", {}}, {"B", {"x", "y"}}}},
        {"braces split tokens by themselves", "Door{position 10 20}Door {position 10 20}",
         {{"Door", {"position", "10", "20"}}, {"Door", {"position", "10", "20"}}}},
        {"comment with braces and line breaks", "# old {\n Door { } \n#Door { position 1 2 }",
         {{"Door", {"position", "1", "2"}}}},
        {"hash inside a token is ordinary", "End { po#s 1 }", {{"End", {"po#s", "1"}}}},
        {"braces do not nest", "A { x { y } z { w }", {{"A", {"x", "y"}}, {"z", {"w"}}}},
        {"trailing whitespace adds an empty block", "Door { }\n", {{"Door", {}}, {"", {}}}},
        {"trailing comment adds an empty block", "Door { } # the end #", {{"Door", {}}, {"", {}}}},
        {"unclosed comment runs to the end", "Door { 1 } # open { End", {{"Door", {"1"}}, {"", {}}}},
        {"all whitespace kinds", "A\t{\x0B" "b\fc\r\nd }", {{"A", {"b", "c", "d"}}}},
        {"tokens before the first keyword are dropped", "{ lost } Door { kept }", {{"Door", {"kept"}}}},
        {"text ends at the first NUL", std::string("A { b }\0C { d }", 15), {{"A", {"b"}}}},
        {"empty text", "", {}},
        {"case is kept", "sentinel { True true }", {{"sentinel", {"True", "true"}}}},
        {"latin-1 bytes are ordinary", "Door { n\xE3o }", {{"Door", {"n\xE3o"}}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.text), c.expected) << c.name;
}

TEST(ScriptReader, ReadFloatConvertsDecimalPrefixes)
{
    const std::string text = "N { 10 -2.5 +3e2 .5 7abc 1,5 abc 0x10 inf - 1e39 -4e38 }";
    ScriptReader reader;
    reader.OpenText(text.data(), text.size());
    EXPECT_EQ(reader.NextToken(), nullptr);  // no current block yet
    ASSERT_STREQ(reader.NextEntity(), "N");
    const float expected[] = {10.0f, -2.5f, 300.0f, 0.5f, 7.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (float value : expected) EXPECT_FLOAT_EQ(reader.ReadFloat(), value);
    // Past the end every cursor stays empty.
    EXPECT_FLOAT_EQ(reader.ReadFloat(), 0.0f);
    EXPECT_EQ(reader.NextToken(), nullptr);
    EXPECT_EQ(reader.NextEntity(), nullptr);
    EXPECT_EQ(reader.NextEntity(), nullptr);
}

TEST(ScriptReader, ReadBoolAcceptsOnlyTrueAndReportsWhatIsNotFalse)
{
    std::vector<std::pair<int, std::string>> reports;
    Log::SetListener([&](int level, const std::string& text) { reports.emplace_back(level, text); });
    const std::string text = "S { True False true 1 }";
    ScriptReader reader;
    reader.OpenText(text.data(), text.size());
    reader.NextEntity();
    EXPECT_TRUE(reader.ReadBool());
    EXPECT_FALSE(reader.ReadBool());
    EXPECT_FALSE(reader.ReadBool());
    EXPECT_FALSE(reader.ReadBool());
    EXPECT_FALSE(reader.ReadBool());  // past the end: false, nothing to report
    Log::SetListener(nullptr);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], std::make_pair(1, std::string("erro de parsing: booleana esparado mas foi encontrado true")));
    EXPECT_EQ(reports[1].second, "erro de parsing: booleana esparado mas foi encontrado 1");
}

TEST(ScriptReader, OpenReadsTheFileAndAMissingFileIsAnEmptyScript)
{
    ArchivePath = nullptr;
    TempFolder folder("script");
    const std::string text = "Door { position 1 2 }";
    ScriptReader reader;
    reader.Open(folder.Write("teste.lvl", {text.begin(), text.end()}).c_str());
    ASSERT_STREQ(reader.NextEntity(), "Door");
    EXPECT_STREQ(reader.NextToken(), "position");

    ScriptReader missing;
    missing.Open("/nonexistent/teste.lvl");
    EXPECT_EQ(missing.NextEntity(), nullptr);
}

}  // namespace
