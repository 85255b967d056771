#pragma once

#include <string>

// A JSON string literal of the given bytes, read as Latin-1 (each byte one code point).
std::string JsonStringLatin1(const std::string& bytes);

// A JSON number: the shortest decimal text that reads back as the same float; null when the value
// is not a finite number.
std::string JsonNumber(float value);
