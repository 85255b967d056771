#include "game/world/ScriptReader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/platform/Log.h"
#include "engine/platform/ResourceFile.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsBrace(char c)
{
    return c == '{' || c == '}';
}

// The next raw token from pos: a brace, a run of other characters, or the empty token when only
// whitespace and comments were left. An unclosed comment ends at the end of the text.
std::string NextRawToken(const std::string& text, size_t& pos)
{
    const size_t size = text.size();
    for (;;) {
        while (pos < size && IsSpace(text[pos])) ++pos;
        if (pos >= size || text[pos] != '#') break;
        ++pos;
        while (pos < size && text[pos] != '#') ++pos;
        if (pos < size) ++pos;
    }
    if (pos >= size) return std::string();
    if (IsBrace(text[pos])) return std::string(1, text[pos++]);
    const size_t start = pos;
    while (pos < size && !IsSpace(text[pos]) && !IsBrace(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

}  // namespace

void ScriptReader::Open(const char* fileName)
{
    ResourceFile file;
    file.Load(fileName);
    const char* data = reinterpret_cast<const char*>(file.Data());
    OpenText(data != nullptr ? data : "", data != nullptr ? file.Size() : 0);
}

void ScriptReader::OpenText(const char* text, size_t size)
{
    const void* nul = std::memchr(text, '\0', size);
    text_.assign(text, nul != nullptr ? static_cast<const char*>(nul) - text : size);
    blocks_.clear();
    bool inBlock = false;
    size_t pos = 0;
    while (pos < text_.size()) {
        std::string token = NextRawToken(text_, pos);
        if (token == "{") {
            inBlock = true;
        } else if (token == "}") {
            inBlock = false;
        } else if (inBlock) {
            // A token in braces before any type keyword has no block to join and is dropped.
            if (!blocks_.empty()) blocks_.back().tokens.push_back(std::move(token));
        } else {
            blocks_.push_back(Block{std::move(token), {}});
        }
    }
    blockCursor_ = 0;
    tokenCursor_ = 0;
}

const char* ScriptReader::NextEntity()
{
    if (blockCursor_ >= blocks_.size()) return nullptr;
    tokenCursor_ = 0;
    return blocks_[blockCursor_++].type.c_str();
}

const char* ScriptReader::NextToken()
{
    if (blockCursor_ == 0) return nullptr;
    const Block& block = blocks_[blockCursor_ - 1];
    if (tokenCursor_ >= block.tokens.size()) return nullptr;
    return block.tokens[tokenCursor_++].c_str();
}

float ScriptReader::ReadFloat()
{
    const char* token = NextToken();
    if (token == nullptr) return 0.0f;
    // strtof follows the C locale, which the program never changes, so "." is the decimal point.
    // It also accepts hexadecimal, "inf" and "nan"; the script's numbers are plain decimals.
    const char* p = token;
    if (*p == '+' || *p == '-') ++p;
    if (!(*p >= '0' && *p <= '9') && !(*p == '.' && p[1] >= '0' && p[1] <= '9')) return 0.0f;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return 0.0f;
    // A number beyond the float's range would come back infinite, and an actor at an infinite place
    // aims, swings and moves by values that are not numbers: it reads as 0, like other non-numbers.
    const float value = std::strtof(token, nullptr);
    return std::isfinite(value) ? value : 0.0f;
}

bool ScriptReader::ReadBool()
{
    const char* token = NextToken();
    if (token == nullptr) return false;
    if (std::strcmp(token, "True") == 0) return true;
    if (std::strcmp(token, "False") != 0)
        Log::Print(1, "erro de parsing: booleana esparado mas foi encontrado %s", token);
    return false;
}
