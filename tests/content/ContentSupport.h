#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/unrarlib/RarExtract.h"

// The game data the build made: "data.qzr" beside the programs.
namespace content {

inline const std::string& ArchivePathName()
{
    static const std::string path = std::string(HARN_BINARY_DIR) + "/data.qzr";
    return path;
}

// One entry's bytes, empty when the archive lacks it.
inline std::vector<uint8_t> Entry(const std::string& name)
{
    char* data = nullptr;
    unsigned long size = 0;
    if (!RarExtract(&data, &size, name.c_str(), ArchivePathName().c_str(), nullptr)) return {};
    std::vector<uint8_t> bytes(data, data + size);
    std::free(data);
    return bytes;
}

}  // namespace content
