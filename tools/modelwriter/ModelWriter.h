#pragma once

#include <cstdint>
#include <vector>

#include "tools/modelwriter/ModelFile.h"

// Writes 3DF files, the engine's model format, from a ModelFile.
class ModelWriter {
public:
    static constexpr uint32_t kHeaderSize = 294;
    static constexpr uint32_t kMaterialSize = 540;

    static std::vector<uint8_t> Write(const ModelFile& model);
    static bool WriteFile(const ModelFile& model, const char* path);
};
