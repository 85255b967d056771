#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The game's generated files, by name, in the order the families made them. Every asset family
// adds its files here; the generator then packs the archive entries into "data.qzr".
class AssetSet {
public:
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
    };

    // Adds (or replaces) the file of that name; names are kept exactly as given.
    void Add(const std::string& name, std::vector<uint8_t> bytes);
    const File* Find(const std::string& name) const;
    const std::vector<File>& Files() const { return files_; }

private:
    std::vector<File> files_;
};
