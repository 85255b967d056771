#include "engine/device/ShaderConstantTable.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool TypeFromName(const std::string& name, ConstantType* type)
{
    static const struct {
        const char* name;
        ConstantType type;
    } kTypes[] = {
        {"float", ConstantType::Float},   {"bool", ConstantType::Bool},         {"int", ConstantType::Int},
        {"vec2", ConstantType::Vec2},     {"vec3", ConstantType::Vec3},         {"vec4", ConstantType::Vec4},
        {"mat4", ConstantType::Matrix4},  {"sampler2D", ConstantType::Sampler}, {"sampler3D", ConstantType::Sampler},
    };
    for (const auto& entry : kTypes) {
        if (name == entry.name) {
            *type = entry.type;
            return true;
        }
    }
    return false;
}

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The source with comments blanked out, so that commented-out uniforms are not listed.
std::string WithoutComments(const std::string& source)
{
    std::string out = source;
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '/' && out[i + 1] == '/') {
            while (i < out.size() && out[i] != '\n') out[i++] = ' ';
        } else if (out[i] == '/' && out[i + 1] == '*') {
            size_t end = out.find("*/", i + 2);
            end = end == std::string::npos ? out.size() : end + 2;
            std::fill(out.begin() + static_cast<std::ptrdiff_t>(i), out.begin() + static_cast<std::ptrdiff_t>(end), ' ');
            i = end - 1;
        }
    }
    return out;
}

std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < text.size()) {
        if (IsIdentifierChar(text[i])) {
            size_t start = i;
            while (i < text.size() && IsIdentifierChar(text[i])) ++i;
            tokens.push_back(text.substr(start, i - start));
        } else {
            if (!std::isspace(static_cast<unsigned char>(text[i]))) tokens.push_back(std::string(1, text[i]));
            ++i;
        }
    }
    return tokens;
}

}  // namespace

void ShaderConstantTable::Add(const std::string& name, ConstantType type)
{
    if (name.empty() || GetConstantByName(name.c_str()) != kNullConstant) return;
    ShaderConstant constant;
    constant.name = name;
    constant.type = type;
    constants_.push_back(constant);
}

ConstantHandle ShaderConstantTable::GetConstantByName(const char* name) const
{
    if (!name) return kNullConstant;
    for (size_t i = 0; i < constants_.size(); ++i) {
        if (constants_[i].name == name) return static_cast<ConstantHandle>(i + 1);
    }
    return kNullConstant;
}

const ShaderConstant* ShaderConstantTable::Find(ConstantHandle handle) const
{
    if (handle == kNullConstant || handle > constants_.size()) return nullptr;
    return &constants_[handle - 1];
}

void ShaderConstantTable::Write(ConstantHandle handle, const float* values, size_t count)
{
    if (handle == kNullConstant || handle > constants_.size()) return;
    ShaderConstant& constant = constants_[handle - 1];
    if (std::memcmp(constant.value, values, count * sizeof(float)) == 0) return;
    std::memcpy(constant.value, values, count * sizeof(float));
    constant.version = ++version_;
}

void ShaderConstantTable::SetFloat(ConstantHandle handle, float value)
{
    Write(handle, &value, 1);
}

void ShaderConstantTable::SetBool(ConstantHandle handle, bool value)
{
    const float number = value ? 1.0f : 0.0f;
    Write(handle, &number, 1);
}

void ShaderConstantTable::SetVector(ConstantHandle handle, const Vec4& value)
{
    const float components[4] = {value.x, value.y, value.z, value.w};
    Write(handle, components, 4);
}

void ShaderConstantTable::SetMatrix(ConstantHandle handle, const Matrix& value)
{
    Write(handle, value.m, 16);
}

ShaderConstantTable ShaderConstantTable::FromSource(const std::string& source)
{
    ShaderConstantTable table;
    const std::vector<std::string> tokens = Tokens(WithoutComments(source));
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] != "uniform") continue;
        size_t j = i + 1;
        while (j < tokens.size() && (tokens[j] == "highp" || tokens[j] == "mediump" || tokens[j] == "lowp")) ++j;
        ConstantType type;
        if (j >= tokens.size() || !TypeFromName(tokens[j], &type)) continue;
        // One or several names, separated by commas, up to the semicolon.
        for (++j; j < tokens.size() && tokens[j] != ";"; ++j) {
            if (tokens[j] == "," || !IsIdentifierChar(tokens[j][0])) continue;
            if (j > 0 && tokens[j - 1] != "," && !TypeFromName(tokens[j - 1], &type)) continue;
            table.Add(tokens[j], type);
        }
        i = j;
    }
    return table;
}
