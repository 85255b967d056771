#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/content/AssetSet.h"
#include "tools/content/interface/InterfacePictures.h"
#include "tools/content/interface/InterfacePreviews.h"
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
    std::fprintf(stderr, "usage: zelmar_content ARCHIVE [--loose DIR] [--previews DIR]\n"
                         "  makes the game's data and packs it into ARCHIVE (data.qzr);\n"
                         "  --loose also writes every file into DIR;\n"
                         "  --previews writes PNG sheets of the interface pictures into DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc % 2 != 0) return Usage();
    const char* archivePath = argv[1];
    const char* looseDir = nullptr;
    const char* previewDir = nullptr;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--loose") == 0) looseDir = argv[i + 1];
        else if (std::strcmp(argv[i], "--previews") == 0) previewDir = argv[i + 1];
        else return Usage();
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
    if (previewDir != nullptr) {
        std::filesystem::create_directories(previewDir);
        std::string error;
        if (!WriteInterfacePreviews(assets, previewDir, error)) {
            std::fprintf(stderr, "zelmar_content: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
