#pragma once

#include <string>

// Reads a shader's source text from the disk, as both devices take it: an empty file reads as an
// empty source, which then declares nothing (null device) or fails to compile (OpenGL).
bool ReadShaderSourceFile(const char* path, std::string* text);
