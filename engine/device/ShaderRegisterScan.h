#pragma once

#include <string>
#include <vector>

#include "engine/device/DeviceShader.h"

// Which of the extra registers oT8 .. oT15 a vertex source writes once compiled with these defines
// (bit i stands for oT(8 + i)). Lines that `#if`, `#ifdef`, `#ifndef`, `#elif` and `#else` leave
// out are skipped, for conditions of the form NAME, NUMBER or NAME op NUMBER (op one of
// < <= > >= == !=; an undefined name counts as 0), following the source's own #define and #undef;
// any other condition counts as true, so a register is left out only when it cannot be written.
unsigned ExtraRegistersWritten(const std::string& vertexSource, const std::vector<ShaderDefine>& defines);
