#pragma once

// The GLSL around shader sources, and the device's own programs. A source is compiled as
// VertexPrelude() + source + VertexEpilogue() (or the pixel pair): the prelude declares the inputs,
// outputs and samplers named in DeviceShader.h and renames the source's main; the epilogue's main
// calls it and maps the Direct3D conventions onto OpenGL (depth range, pixel centres, render
// targets stored top-down, alpha test).
#include <string>

namespace GLShaderText {

// Vertex attribute locations.
constexpr int kPosition = 0;
constexpr int kNormal = 1;
constexpr int kTexCoord0 = 2;
constexpr int kTangent = 3;
constexpr int kBinormal = 4;
constexpr int kDiffuse = 5;

// Texture units: stage i's 2D texture on unit i (sampler si), its volume texture on unit
// kVolumeUnitBase + i (sampler svi).
constexpr int kVolumeUnitBase = 8;
// Stages the fixed-function emulation evaluates, and pixel shaders may sample.
constexpr int kEmulatedStages = 4;

const char* VertexPrelude();
const char* VertexEpilogue();
const char* PixelPrelude();
// With alphaTest the pixel is dropped when harnAlphaTest says so; without, it is always kept,
// which spares the software renderer the test and lets it write depth before shading.
const char* PixelEpilogue(bool alphaTest);

// Transforms by harnWorldViewProj: the vertex stage with no vertex shader bound.
const char* FixedVertexBody();
// Screen-pixel vertices (x, y, z, rhw) by harnScreenSize: the vertex stage of Fvf::XYZRHW formats.
const char* PretransformedVertexBody();
// The registers oT8 .. oT15, which only shaders that write them have linked: bit i stands for
// oT(8 + i) (see ShaderRegisterScan.h).
constexpr int kFirstExtraRegister = 8;
constexpr int kExtraRegisters = 8;
// Reads every vertex output of oD0 .. oT7 and the extra registers given, so that a vertex shader
// linked with it keeps every constant it uses.
std::string EveryInputPixelBody(unsigned extraRegisters);

}  // namespace GLShaderText
