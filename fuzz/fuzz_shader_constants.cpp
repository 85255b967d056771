// Shader sources are files on disk that modders edit: the null device reads their uniform
// declarations. Any bytes must give a table without crashing, and every listed name must be found.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/device/ShaderConstantTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string source(reinterpret_cast<const char*>(data), size);
    ShaderConstantTable table = ShaderConstantTable::FromSource(source);
    for (const ShaderConstant& constant : table.Constants()) {
        const ConstantHandle handle = table.GetConstantByName(constant.name.c_str());
        if (handle == kNullConstant) std::abort();
        table.SetVector(handle, Vec4(1, 2, 3, 4));
    }
    return 0;
}
