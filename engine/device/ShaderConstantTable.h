#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/math/Matrix.h"
#include "engine/math/Vec4.h"

// A handle of a shader constant: 0 is the null handle of a name the shader does not declare; its
// setters do nothing.
using ConstantHandle = uint32_t;
constexpr ConstantHandle kNullConstant = 0;

enum class ConstantType { Float, Bool, Int, Vec2, Vec3, Vec4, Matrix4, Sampler };

// One constant: its name, type and current value (up to sixteen floats; a matrix row-major, as the
// engine's Matrix holds it), and the table's version when that value last changed.
struct ShaderConstant {
    std::string name;
    ConstantType type = ConstantType::Float;
    float value[16] = {};
    uint64_t version = 0;
};

// The constants of one shader object, looked up by name. Values live here, so they stay in force
// whenever the shader is bound, whatever it is paired with; the device uploads them at draw time.
class ShaderConstantTable {
public:
    // Adds a constant (a second one of the same name is ignored); its value starts at zero.
    void Add(const std::string& name, ConstantType type);

    ConstantHandle GetConstantByName(const char* name) const;

    // A float goes into the first component; a boolean becomes 1 or 0; a vector fills up to four
    // components; a matrix all sixteen. The null handle is ignored.
    void SetFloat(ConstantHandle handle, float value);
    void SetBool(ConstantHandle handle, bool value);
    void SetVector(ConstantHandle handle, const Vec4& value);
    void SetMatrix(ConstantHandle handle, const Matrix& value);

    // The constant of a handle; null for the null handle or one out of range.
    const ShaderConstant* Find(ConstantHandle handle) const;
    const std::vector<ShaderConstant>& Constants() const { return constants_; }
    // Grows with every write that changes a value, so the device re-uploads only what changed.
    uint64_t Version() const { return version_; }

    // The uniforms a shader source declares (`uniform TYPE NAME;`, one or several names), for
    // devices that do not compile shaders. Unknown types are left out.
    static ShaderConstantTable FromSource(const std::string& source);

private:
    void Write(ConstantHandle handle, const float* values, size_t count);

    std::vector<ShaderConstant> constants_;
    uint64_t version_ = 0;
};
