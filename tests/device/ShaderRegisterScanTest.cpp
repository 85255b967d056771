#include <gtest/gtest.h>

#include "engine/device/ShaderRegisterScan.h"

// Bit i stands for oT(8 + i): oT8 is 1, oT9 2, oT12 16, oT15 128.
TEST(ShaderRegisterScan, FindsTheExtraRegistersThatTheDefinesLeaveIn)
{
    const char* lightsFive = "#if LIGHTS > 4\n    oT8 = a;\n#endif\n#if LIGHTS > 5\n    oT9 = b;\n#endif\n";
    const char* ifElse = "#if LIGHTS >= 6\n oT9 = b;\n#elif LIGHTS == 5\n oT10 = c;\n#else\n oT11 = d;\n#endif\n";
    const char* nested = "#ifdef MORE\n#if LIGHTS > 2\n oT12 = a;\n#endif\n#else\n oT15 = b;\n#endif\n";
    const struct { const char* what; const char* source; std::vector<ShaderDefine> defines; unsigned registers; } cases[] = {
        {"no extra register", "oPos = inPosition; oT7 = x;\n", {}, 0},
        {"written plainly", "oT8 = a; oT15 = b;\n", {}, 1 | 128},
        {"names that only contain one", "myoT8 = a; oT80 = b; oT8x = c;\n", {}, 0},
        {"four lights leave both out", lightsFive, {{"LIGHTS", "4"}}, 0},
        {"five lights take the first", lightsFive, {{"LIGHTS", "5"}}, 1},
        {"six lights take both", lightsFive, {{"LIGHTS", "6"}}, 1 | 2},
        {"an undefined name counts as 0", lightsFive, {}, 0},
        {"#if taken", ifElse, {{"LIGHTS", "7"}}, 2},
        {"#elif taken", ifElse, {{"LIGHTS", "5"}}, 4},
        {"#else taken", ifElse, {{"LIGHTS", "1"}}, 8},
        {"nested inside a taken #ifdef", nested, {{"MORE", "1"}, {"LIGHTS", "3"}}, 16},
        {"nested inside a skipped #ifdef", nested, {{"LIGHTS", "3"}}, 128},
        {"the source's own define", "#define MORE 2\n#if MORE > 1\noT10 = a;\n#endif\n#undef MORE\n#if MORE\noT11 = b;\n#endif\n", {}, 4},
        {"a condition not understood counts as true", "#if defined(X) && LIGHTS > 9\noT13 = a;\n#endif\n", {}, 32},
        {"a define that is no number counts as true", "#if MODE > 1\noT14 = a;\n#endif\n", {{"MODE", "fast"}}, 64},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtraRegistersWritten(c.source, c.defines), c.registers) << c.what;
}
