#include "tools/harntool/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/platform/Log.h"

std::string JsonStringLatin1(const std::string& bytes)
{
    std::string out = "\"";
    for (unsigned char c : bytes) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
            }
        }
    }
    out += "\"";
    return out;
}

std::string JsonNumber(float value)
{
    if (!std::isfinite(value)) return "null";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}
