#pragma once

#include <memory>
#include <vector>

#include "engine/device/DeviceShader.h"
#include "engine/device/ShaderConstantTable.h"

// One of the engine's shader programs: the device shader compiled from its source file, with the
// constant table that came with it. Each concrete class knows its file and the constants it
// feeds, looks their handles up once in Init and writes them through its setters.
//
// A shader whose source is missing or does not compile stays empty: Bind then switches its stage
// to the fixed-function path, and the setters do nothing (every handle is null).
class Shader {
public:
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;
    virtual ~Shader();

    // Sets the shader on the current device, in its stage.
    void Bind() const;

    bool IsReady() const { return shader_ != nullptr; }
    ShaderStage Stage() const { return stage_; }
    // The device shader and its constant table; null until a successful Init.
    DeviceShader* Object() const { return shader_.get(); }
    const ShaderConstantTable* ConstantTable() const { return shader_ ? &shader_->Constants() : nullptr; }

protected:
    explicit Shader(ShaderStage stage) : stage_(stage) {}

    // Compiles the file from the shader directory on the current device with the defines, replacing
    // any earlier shader. False, leaving the shader empty, when there is no device or the source
    // fails.
    bool Compile(const char* fileName, const std::vector<ShaderDefine>& defines = {});
    // Null when the shader is empty or does not declare the name.
    ConstantHandle Lookup(const char* name) const;

    void WriteFloat(ConstantHandle handle, float value) const;
    void WriteBool(ConstantHandle handle, bool value) const;
    void WriteVector(ConstantHandle handle, const Vec4& value) const;
    void WriteMatrix(ConstantHandle handle, const Matrix& value) const;

private:
    ShaderStage stage_;
    std::unique_ptr<DeviceShader> shader_;
};
