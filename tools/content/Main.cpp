#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/InterfacePictures.h"
#include "tools/rarwriter/RarWriter.h"

// zelmar_content: makes every model, picture and script of the game from the sources in this
// repository and packs them into "data.qzr". The same sources always give the same bytes.
namespace {

// 1 January 2000, 00:00: every entry carries this time so that two runs give identical archives.
constexpr uint32_t kFixedDosTime = (20u << 25) | (1u << 21) | (1u << 16);

struct Family {
    const char* name;
    void (*make)(AssetSet& assets);
};

const Family kFamilies[] = {
    {"interface", MakeInterfacePictures},
};

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int Usage()
{
    std::fprintf(stderr, "usage: zelmar_content ARCHIVE [--loose DIR]\n"
                         "  makes the game's data and packs it into ARCHIVE (data.qzr);\n"
                         "  --loose also writes every file into DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) return Usage();
    const char* archivePath = argv[1];
    const char* looseDir = nullptr;
    if (argc == 4) {
        if (std::strcmp(argv[2], "--loose") != 0) return Usage();
        looseDir = argv[3];
    }

    AssetSet assets;
    for (const Family& family : kFamilies) family.make(assets);

    RarWriter::Options options;
    options.solid = true;
    RarWriter writer(options);
    for (const AssetSet::File& file : assets.Files()) {
        if (!writer.Add(file.name, file.bytes, kFixedDosTime)) {
            std::fprintf(stderr, "zelmar_content: cannot pack %s\n", file.name.c_str());
            return 1;
        }
    }
    if (!writer.WriteFile(archivePath)) {
        std::fprintf(stderr, "zelmar_content: cannot write %s\n", archivePath);
        return 1;
    }
    if (looseDir != nullptr) {
        std::filesystem::create_directories(looseDir);
        for (const AssetSet::File& file : assets.Files()) {
            if (!WriteFile(std::filesystem::path(looseDir) / file.name, file.bytes)) {
                std::fprintf(stderr, "zelmar_content: cannot write %s into %s\n", file.name.c_str(), looseDir);
                return 1;
            }
        }
    }
    return 0;
}
