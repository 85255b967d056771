#include <gtest/gtest.h>

#include "engine/device/ShaderConstantTable.h"

TEST(ShaderConstantTable, LooksUpDeclaredNamesAndTheNullHandleWritesNothing)
{
    ShaderConstantTable table;
    table.Add("offset", ConstantType::Vec4);
    table.Add("hdir", ConstantType::Bool);
    table.Add("worldViewProj", ConstantType::Matrix4);
    table.Add("offset", ConstantType::Float);  // a second one of a name is ignored
    EXPECT_EQ(table.Constants().size(), 3u);
    const ConstantHandle offset = table.GetConstantByName("offset");
    const ConstantHandle hdir = table.GetConstantByName("hdir");
    EXPECT_NE(offset, kNullConstant);
    EXPECT_NE(offset, hdir);
    EXPECT_EQ(table.Find(offset)->type, ConstantType::Vec4);
    for (const char* absent : {"Offset", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(table.GetConstantByName(absent), kNullConstant) << (absent ? absent : "null");

    const uint64_t version = table.Version();
    table.SetFloat(kNullConstant, 3.0f);
    table.SetVector(99, Vec4(1, 1, 1, 1));
    EXPECT_EQ(table.Version(), version);
    EXPECT_EQ(table.Find(kNullConstant), nullptr);
    EXPECT_EQ(table.Find(99), nullptr);
    table.SetFloat(offset, 2.0f);
    EXPECT_GT(table.Version(), version);
    EXPECT_EQ(table.Find(offset)->value[0], 2.0f);
}

TEST(ShaderConstantTable, ReadsUniformDeclarationsFromSource)
{
    struct Case { const char* source; std::vector<std::string> names; };
    const Case cases[] = {
        {"uniform mat4 worldViewProj;", {"worldViewProj"}},
        {"uniform vec4 up, right;\nuniform mat4 worldViewProjMatrix;", {"up", "right", "worldViewProjMatrix"}},
        {"/* uniform float hidden; */ uniform bool hdir;", {"hdir"}},
        {"// uniform vec4 commentedOut;\nuniform vec4 diffuseColor, lightPosition;", {"diffuseColor", "lightPosition"}},
        {"uniform sampler2D s0; uniform float blur;", {"s0", "blur"}},
        {"uniform vec4 glowColor", {"glowColor"}},      // truncated: no semicolon
        {"uniform", {}},                                // truncated after the keyword
        {"uniform strange thing;", {}},                 // unknown type
        {"uniform float weights[4];", {"weights"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const ShaderConstantTable table = ShaderConstantTable::FromSource(c.source);
        std::vector<std::string> names;
        for (const ShaderConstant& constant : table.Constants()) names.push_back(constant.name);
        EXPECT_EQ(names, c.names) << c.source;
    }
}
