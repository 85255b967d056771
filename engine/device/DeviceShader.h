#pragma once

#include <string>
#include <vector>

#include "engine/device/DeviceResource.h"
#include "engine/device/ShaderConstantTable.h"

enum class ShaderStage { Vertex, Pixel };

// A name a shader source is compiled with, as `#define name value` ahead of the source.
struct ShaderDefine {
    std::string name;
    std::string value;
};

// A vertex or pixel shader compiled from a source file on disk, with its constant table. Values
// written through the table belong to this object and are in force whenever it is bound.
//
// Sources are GLSL bodies without a #version line; the device adds the declarations below before
// them and calls `main` itself.
//   Vertex shaders read   inPosition (vec4; w = 1 for three-component positions), inNormal,
//                         inTexCoord0 (vec4), inTangent, inBinormal, inDiffuse (vec4, 0..1)
//                  write  oPos (clip position in Direct3D conventions: depth 0..w, y up),
//                         oD0 (diffuse), oD1 (specular), oT0 .. oT7 (texture coordinates; the
//                         texture stages read oT0 .. oT3), and oT8 .. oT15 for pixel shaders that
//                         need more (not every driver passes all sixteen to one pixel shader)
//   Pixel shaders read    vD0, vD1, vT0 .. vT15, samplers s0 .. s3 (2D textures of stages 0 .. 3)
//                         and sv0 .. sv3 (volume textures of stages 0 .. 3)
//                  write  oC0
// Matrices multiply row vectors as in the engine: `inPosition * worldViewProj`.
class DeviceShader : public DeviceResource {
public:
    ShaderStage Stage() const { return stage_; }
    const std::string& SourcePath() const { return path_; }

    ShaderConstantTable& Constants() { return constants_; }
    const ShaderConstantTable& Constants() const { return constants_; }

    ConstantHandle GetConstantByName(const char* name) const { return constants_.GetConstantByName(name); }
    void SetFloat(ConstantHandle handle, float value) { constants_.SetFloat(handle, value); }
    void SetBool(ConstantHandle handle, bool value) { constants_.SetBool(handle, value); }
    void SetVector(ConstantHandle handle, const Vec4& value) { constants_.SetVector(handle, value); }
    void SetMatrix(ConstantHandle handle, const Matrix& value) { constants_.SetMatrix(handle, value); }

protected:
    DeviceShader(GraphicsDevice* device, ShaderStage stage, std::string path, ShaderConstantTable constants)
        : DeviceResource(device), stage_(stage), path_(std::move(path)), constants_(std::move(constants))
    {
    }

private:
    ShaderStage stage_;
    std::string path_;
    ShaderConstantTable constants_;
};
