// Shader sources are files on disk that modders edit: the null device reads their uniform
// declarations, and the OpenGL device scans vertex sources for the extra registers their defines
// leave in. Any bytes must give a table without crashing, every listed name must be found, and the
// scan may name no register beyond the eight extra ones.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/device/ShaderConstantTable.h"
#include "engine/device/ShaderRegisterScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string source(reinterpret_cast<const char*>(data), size);
    ShaderConstantTable table = ShaderConstantTable::FromSource(source);
    for (const ShaderConstant& constant : table.Constants()) {
        const ConstantHandle handle = table.GetConstantByName(constant.name.c_str());
        if (handle == kNullConstant) std::abort();
        table.SetVector(handle, Vec4(1, 2, 3, 4));
    }
    const std::string lights = std::to_string(size % 9);
    if (ExtraRegistersWritten(source, {{"LIGHTS", lights}, {"TEXTURED", "1"}}) > 0xffu) std::abort();
    return 0;
}
