#include "engine/device/ShaderRegisterScan.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "engine/device/GLShaderText.h"

namespace {

bool IsNamePart(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool IsNumber(const std::string& token)
{
    char* end = nullptr;
    std::strtol(token.c_str(), &end, 10);
    return !token.empty() && *end == '\0';
}

const ShaderDefine* Find(const std::vector<ShaderDefine>& defines, const std::string& name)
{
    for (const ShaderDefine& define : defines) {
        if (define.name == name) return &define;
    }
    return nullptr;
}

// A name's value as the preprocessor reads it in a condition: its define's number, or 0.
bool ValueOf(const std::vector<ShaderDefine>& defines, const std::string& token, long* value)
{
    if (IsNumber(token)) {
        *value = std::strtol(token.c_str(), nullptr, 10);
        return true;
    }
    for (char c : token) {
        if (!IsNamePart(c)) return false;
    }
    const ShaderDefine* define = Find(defines, token);
    if (!define) {
        *value = 0;
        return true;
    }
    if (!IsNumber(define->value)) return false;
    *value = std::strtol(define->value.c_str(), nullptr, 10);
    return true;
}

// Whether a condition holds; true for anything this reader does not understand.
bool Holds(const std::vector<ShaderDefine>& defines, const std::string& condition)
{
    std::istringstream words(condition);
    std::string left, op, right, rest;
    words >> left >> op >> right >> rest;
    long a = 0, b = 0;
    if (!rest.empty() || !ValueOf(defines, left, &a)) return true;
    if (op.empty()) return a != 0;
    if (!ValueOf(defines, right, &b)) return true;
    if (op == "<") return a < b;
    if (op == "<=") return a <= b;
    if (op == ">") return a > b;
    if (op == ">=") return a >= b;
    if (op == "==") return a == b;
    if (op == "!=") return a != b;
    return true;
}

struct Branch {
    bool outerActive;  // the lines around the #if are compiled
    bool taken;        // an earlier branch of this #if was compiled
    bool active;       // the lines of the current branch are compiled
};

void MarkRegisters(const std::string& line, unsigned* registers)
{
    for (int i = 0; i < GLShaderText::kExtraRegisters; ++i) {
        const std::string name = "oT" + std::to_string(GLShaderText::kFirstExtraRegister + i);
        for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + 1)) {
            const size_t end = at + name.size();
            if ((at == 0 || !IsNamePart(line[at - 1])) && (end == line.size() || !IsNamePart(line[end]))) {
                *registers |= 1u << i;
            }
        }
    }
}

}  // namespace

unsigned ExtraRegistersWritten(const std::string& vertexSource, const std::vector<ShaderDefine>& given)
{
    std::vector<ShaderDefine> defines = given;
    unsigned registers = 0;
    std::vector<Branch> branches;
    std::istringstream lines(vertexSource);
    std::string line;
    while (std::getline(lines, line)) {
        const bool active = branches.empty() || branches.back().active;
        std::istringstream words(line);
        std::string directive;
        words >> directive;
        std::string condition;
        std::getline(words, condition);
        if (directive == "#if" || directive == "#ifdef" || directive == "#ifndef") {
            std::string name;
            std::istringstream(condition) >> name;
            const bool holds = directive == "#if" ? Holds(defines, condition)
                                                  : (Find(defines, name) != nullptr) == (directive == "#ifdef");
            branches.push_back({active, active && holds, active && holds});
        } else if (directive == "#elif" && !branches.empty()) {
            Branch& branch = branches.back();
            branch.active = branch.outerActive && !branch.taken && Holds(defines, condition);
            branch.taken = branch.taken || branch.active;
        } else if (directive == "#else" && !branches.empty()) {
            Branch& branch = branches.back();
            branch.active = branch.outerActive && !branch.taken;
            branch.taken = true;
        } else if (directive == "#endif" && !branches.empty()) {
            branches.pop_back();
        } else if ((directive == "#define" || directive == "#undef") && active) {
            std::istringstream parts(condition);
            ShaderDefine define;
            parts >> define.name;
            std::getline(parts >> std::ws, define.value);
            std::erase_if(defines, [&](const ShaderDefine& d) { return d.name == define.name; });
            if (directive == "#define") defines.push_back(define);
        } else if (active) {
            MarkRegisters(line, &registers);
        }
    }
    return registers;
}
