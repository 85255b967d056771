#include "engine/render/Shader.h"

#include "engine/device/GraphicsDevice.h"
#include "engine/render/ShaderDirectory.h"

Shader::~Shader()
{
    shader_.reset();
}

void Shader::Bind() const
{
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    if (stage_ == ShaderStage::Vertex) {
        device->SetVertexShader(shader_.get());
    } else {
        device->SetPixelShader(shader_.get());
    }
}

bool Shader::Compile(const char* fileName, const std::vector<ShaderDefine>& defines)
{
    shader_.reset();
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return false;
    const std::string path = ShaderDirectory::PathOf(fileName);
    shader_ = stage_ == ShaderStage::Vertex ? device->CreateVertexShader(path.c_str(), nullptr, defines)
                                            : device->CreatePixelShader(path.c_str(), nullptr, defines);
    return shader_ != nullptr;
}

ConstantHandle Shader::Lookup(const char* name) const
{
    return shader_ ? shader_->GetConstantByName(name) : kNullConstant;
}

void Shader::WriteFloat(ConstantHandle handle, float value) const
{
    if (shader_) shader_->SetFloat(handle, value);
}

void Shader::WriteBool(ConstantHandle handle, bool value) const
{
    if (shader_) shader_->SetBool(handle, value);
}

void Shader::WriteVector(ConstantHandle handle, const Vec4& value) const
{
    if (shader_) shader_->SetVector(handle, value);
}

void Shader::WriteMatrix(ConstantHandle handle, const Matrix& value) const
{
    if (shader_) shader_->SetMatrix(handle, value);
}
