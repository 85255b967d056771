#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The game's generated files, by name, in the order the families made them. Every asset family
// adds its files here; the generator then packs the archive entries into "data.qzr". Families that
// copy a hand-written source read it from the source folder; one that cannot make its files
// records why, and the generator then writes no archive.
class AssetSet {
public:
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
    };

    explicit AssetSet(std::string sourceFolder = "") : sourceFolder_(std::move(sourceFolder)) {}

    // Adds (or replaces) the file of that name; names are kept exactly as given.
    void Add(const std::string& name, std::vector<uint8_t> bytes);
    const File* Find(const std::string& name) const;
    const std::vector<File>& Files() const { return files_; }

    const std::string& SourceFolder() const { return sourceFolder_; }
    void Fail(const std::string& reason) { failures_.push_back(reason); }
    const std::vector<std::string>& Failures() const { return failures_; }

private:
    std::string sourceFolder_;
    std::vector<File> files_;
    std::vector<std::string> failures_;
};
