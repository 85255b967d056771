#include "tools/content/AssetSet.h"

void AssetSet::Add(const std::string& name, std::vector<uint8_t> bytes)
{
    for (File& file : files_) {
        if (file.name == name) {
            file.bytes = std::move(bytes);
            return;
        }
    }
    files_.push_back({name, std::move(bytes)});
}

const AssetSet::File* AssetSet::Find(const std::string& name) const
{
    for (const File& file : files_) {
        if (file.name == name) return &file;
    }
    return nullptr;
}
