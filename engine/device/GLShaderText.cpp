#include "engine/device/GLShaderText.h"

namespace GLShaderText {

const char* VertexPrelude()
{
    return R"(#version 330 core
layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec4 inTexCoord0;
layout(location = 3) in vec3 inTangent;
layout(location = 4) in vec3 inBinormal;
layout(location = 5) in vec4 inDiffuse;
out vec4 vD0;
out vec4 vD1;
out vec4 vT0;
out vec4 vT1;
out vec4 vT2;
out vec4 vT3;
out vec4 vT4;
out vec4 vT5;
out vec4 vT6;
out vec4 vT7;
out vec4 vT8;
out vec4 vT9;
out vec4 vT10;
out vec4 vT11;
out vec4 vT12;
out vec4 vT13;
out vec4 vT14;
out vec4 vT15;
vec4 oPos;
vec4 oD0;
vec4 oD1;
vec4 oT0;
vec4 oT1;
vec4 oT2;
vec4 oT3;
vec4 oT4;
vec4 oT5;
vec4 oT6;
vec4 oT7;
vec4 oT8;
vec4 oT9;
vec4 oT10;
vec4 oT11;
vec4 oT12;
vec4 oT13;
vec4 oT14;
vec4 oT15;
#define main harnShaderMain
#line 1
)";
}

// harnViewport: (1 / target width, vertical pixel-centre shift, vertical flip, 0). The back buffer
// keeps y up; render targets are flipped so that their first row is the top of the picture, as
// texture rows are.
const char* VertexEpilogue()
{
    return R"(
#undef main
uniform vec4 harnViewport;
invariant gl_Position;
void main()
{
    oPos = vec4(0.0, 0.0, 0.0, 1.0);
    oD0 = vec4(1.0);
    oD1 = vec4(0.0);
    oT0 = vec4(0.0, 0.0, 0.0, 1.0);
    oT1 = vec4(0.0, 0.0, 0.0, 1.0);
    oT2 = vec4(0.0, 0.0, 0.0, 1.0);
    oT3 = vec4(0.0, 0.0, 0.0, 1.0);
    oT4 = vec4(0.0, 0.0, 0.0, 1.0);
    oT5 = vec4(0.0, 0.0, 0.0, 1.0);
    oT6 = vec4(0.0, 0.0, 0.0, 1.0);
    oT7 = vec4(0.0, 0.0, 0.0, 1.0);
    oT8 = vec4(0.0, 0.0, 0.0, 1.0);
    oT9 = vec4(0.0, 0.0, 0.0, 1.0);
    oT10 = vec4(0.0, 0.0, 0.0, 1.0);
    oT11 = vec4(0.0, 0.0, 0.0, 1.0);
    oT12 = vec4(0.0, 0.0, 0.0, 1.0);
    oT13 = vec4(0.0, 0.0, 0.0, 1.0);
    oT14 = vec4(0.0, 0.0, 0.0, 1.0);
    oT15 = vec4(0.0, 0.0, 0.0, 1.0);
    harnShaderMain();
    vec4 p = oPos;
    p.x += harnViewport.x * p.w;
    p.y = harnViewport.z * p.y + harnViewport.y * p.w;
    p.z = 2.0 * p.z - p.w;
    gl_Position = p;
    vD0 = clamp(oD0, 0.0, 1.0);
    vD1 = clamp(oD1, 0.0, 1.0);
    vT0 = oT0;
    vT1 = oT1;
    vT2 = oT2;
    vT3 = oT3;
    vT4 = oT4;
    vT5 = oT5;
    vT6 = oT6;
    vT7 = oT7;
    vT8 = oT8;
    vT9 = oT9;
    vT10 = oT10;
    vT11 = oT11;
    vT12 = oT12;
    vT13 = oT13;
    vT14 = oT14;
    vT15 = oT15;
}
)";
}

const char* PixelPrelude()
{
    return R"(#version 330 core
in vec4 vD0;
in vec4 vD1;
in vec4 vT0;
in vec4 vT1;
in vec4 vT2;
in vec4 vT3;
in vec4 vT4;
in vec4 vT5;
in vec4 vT6;
in vec4 vT7;
in vec4 vT8;
in vec4 vT9;
in vec4 vT10;
in vec4 vT11;
in vec4 vT12;
in vec4 vT13;
in vec4 vT14;
in vec4 vT15;
uniform sampler2D s0;
uniform sampler2D s1;
uniform sampler2D s2;
uniform sampler2D s3;
uniform sampler3D sv0;
uniform sampler3D sv1;
uniform sampler3D sv2;
uniform sampler3D sv3;
vec4 oC0;
#define main harnShaderMain
#line 1
)";
}

// harnAlphaTest: (compare function, reference 0..255); function 8 passes everything.
const char* PixelEpilogue(bool alphaTest)
{
    static const char* const kTested = R"(
#undef main
uniform ivec2 harnAlphaTest;
layout(location = 0) out vec4 harnFragColor;
bool harnPassesAlphaTest(float alpha)
{
    int a = int(floor(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5));
    int ref = harnAlphaTest.y;
    switch (harnAlphaTest.x) {
    case 1: return false;
    case 2: return a < ref;
    case 3: return a == ref;
    case 4: return a <= ref;
    case 5: return a > ref;
    case 6: return a != ref;
    case 7: return a >= ref;
    default: return true;
    }
}
void main()
{
    oC0 = vec4(0.0, 0.0, 0.0, 1.0);
    harnShaderMain();
    if (!harnPassesAlphaTest(oC0.a)) discard;
    harnFragColor = oC0;
}
)";
    static const char* const kUntested = R"(
#undef main
layout(location = 0) out vec4 harnFragColor;
void main()
{
    oC0 = vec4(0.0, 0.0, 0.0, 1.0);
    harnShaderMain();
    harnFragColor = oC0;
}
)";
    return alphaTest ? kTested : kUntested;
}

const char* FixedVertexBody()
{
    return R"(
uniform mat4 harnWorldViewProj;
void main()
{
    oPos = inPosition * harnWorldViewProj;
    oD0 = inDiffuse;
    oT0 = inTexCoord0;
    oT1 = inTexCoord0;
    oT2 = inTexCoord0;
    oT3 = inTexCoord0;
}
)";
}

const char* PretransformedVertexBody()
{
    return R"(
uniform vec2 harnScreenSize;
void main()
{
    float w = inPosition.w > 0.0 ? 1.0 / inPosition.w : 1.0;
    vec4 ndc = vec4(inPosition.x / harnScreenSize.x * 2.0 - 1.0,
                    1.0 - inPosition.y / harnScreenSize.y * 2.0,
                    inPosition.z, 1.0);
    oPos = ndc * w;
    oD0 = inDiffuse;
    oT0 = inTexCoord0;
    oT1 = inTexCoord0;
    oT2 = inTexCoord0;
    oT3 = inTexCoord0;
}
)";
}

std::string EveryInputPixelBody(unsigned extraRegisters)
{
    std::string sum = "vD0 + vD1 + vT0 + vT1 + vT2 + vT3 + vT4 + vT5 + vT6 + vT7";
    for (int i = 0; i < kExtraRegisters; ++i) {
        if (extraRegisters & (1u << i)) sum += " + vT" + std::to_string(kFirstExtraRegister + i);
    }
    return "\nvoid main()\n{\n    oC0 = " + sum + ";\n}\n";
}

}  // namespace GLShaderText
