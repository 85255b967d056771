#include "engine/render/GLShaderText.h"

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
vec4 oPos;
vec4 oD0;
vec4 oD1;
vec4 oT0;
vec4 oT1;
vec4 oT2;
vec4 oT3;
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
uniform sampler2D s0;
uniform sampler2D s1;
uniform sampler2D s2;
uniform sampler2D s3;
vec4 oC0;
#define main harnShaderMain
#line 1
)";
}

// harnAlphaTest: (compare function, reference 0..255); function 8 passes everything.
const char* PixelEpilogue()
{
    return R"(
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

namespace {

// Per stage: harnStageOps = (colour op, alpha op, texture coordinate index, flags: 1 texture bound,
// 2 volume, 4/8/16 mirror once on u/v/w), harnColorArgs and harnAlphaArgs = (arg0, arg1, arg2,
// unused).
const char* kStageCommon = R"(
uniform ivec4 harnStageOps[4];
uniform ivec4 harnColorArgs[4];
uniform ivec4 harnAlphaArgs[4];
uniform vec4 harnTextureFactor;
uniform sampler2D harnTex2D0;
uniform sampler2D harnTex2D1;
uniform sampler2D harnTex2D2;
uniform sampler2D harnTex2D3;
uniform sampler3D harnTex3D0;
uniform sampler3D harnTex3D1;
uniform sampler3D harnTex3D2;
uniform sampler3D harnTex3D3;

vec4 harnCoord(int index)
{
    if (index == 1) return vT1;
    if (index == 2) return vT2;
    if (index == 3) return vT3;
    return vT0;
}

vec4 harnArgument(int arg, vec4 current, vec4 tex)
{
    int source = arg & 15;
    vec4 v = current;
    if (source == 0) v = vD0;
    else if (source == 2) v = tex;
    else if (source == 3) v = harnTextureFactor;
    else if (source == 4) v = vD1;
    if ((arg & 16) != 0) v = vec4(1.0) - v;
    if ((arg & 32) != 0) v = vec4(v.a);
    return v;
}

vec4 harnOperation(int op, ivec4 args, vec4 current, vec4 tex)
{
    vec4 a1 = harnArgument(args.y, current, tex);
    if (op == 2) return a1;
    vec4 a2 = harnArgument(args.z, current, tex);
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 24) return vec4(clamp(4.0 * dot(a1.rgb - 0.5, a2.rgb - 0.5), 0.0, 1.0));
    if (op == 26) {
        vec4 a0 = harnArgument(args.x, current, tex);
        return a0 * a1 + (vec4(1.0) - a0) * a2;
    }
    return a1;
}
)";

const char* kStageTemplate = R"(
    if (harnStageOps[N].x != 1) {
        vec4 coord = harnCoord(harnStageOps[N].z);
        bvec3 mirrorOnce = notEqual(ivec3(harnStageOps[N].w) & ivec3(4, 8, 16), ivec3(0));
        coord.xyz = mix(coord.xyz, abs(coord.xyz), vec3(mirrorOnce));
        vec4 tex = vec4(1.0);
        if ((harnStageOps[N].w & 2) != 0) tex = texture(harnTex3DN, coord.xyz);
        else if ((harnStageOps[N].w & 1) != 0) tex = texture(harnTex2DN, coord.xy);
        vec3 color = clamp(harnOperation(harnStageOps[N].x, harnColorArgs[N], current, tex).rgb, 0.0, 1.0);
        float alpha = current.a;
        if (harnStageOps[N].y != 1) alpha = clamp(harnOperation(harnStageOps[N].y, harnAlphaArgs[N], current, tex).a, 0.0, 1.0);
        current = vec4(color, alpha);
    } else {
        done = true;
    }
)";

std::string StageBlock(int stage)
{
    std::string block = kStageTemplate;
    const std::string n = std::to_string(stage);
    for (size_t at = block.find('N'); at != std::string::npos; at = block.find('N', at + 1)) {
        // Only the placeholder N stands alone after '[' or at the end of a sampler name.
        const bool placeholder = (at > 0 && (block[at - 1] == '[' || block[at - 1] == 'D'));
        if (placeholder) block.replace(at, 1, n);
    }
    return block;
}

}  // namespace

std::string TextureStageBody()
{
    std::string body = kStageCommon;
    body += "void main()\n{\n    vec4 current = vD0;\n    bool done = false;\n";
    for (int stage = 0; stage < kEmulatedStages; ++stage) {
        if (stage > 0) body += "    if (!done) {\n";
        body += StageBlock(stage);
        if (stage > 0) body += "    }\n";
    }
    body += "    oC0 = current;\n}\n";
    return body;
}

}  // namespace GLShaderText
