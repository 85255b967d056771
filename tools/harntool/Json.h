#pragma once

#include <string>

// A JSON string literal of the given bytes, read as Latin-1 (each byte one code point).
std::string JsonStringLatin1(const std::string& bytes);
