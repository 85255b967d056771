#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/scene/Picture.h"
#include "tools/content/AssetSet.h"
#include "tools/content/ArchiveOrder.h"
#include "tools/content/interface/InterfacePictures.h"
#include "tools/content/interface/InterfacePreviews.h"
#include "tools/content/ship/MainShip.h"
#include "tools/content/enemies/Defender.h"
#include "tools/content/enemies/Sentinel.h"
#include "tools/content/boss/Boss.h"
#include "tools/content/door/Door.h"
#include "tools/content/level/Level.h"
#include "tools/content/CommonFiles.h"
#include "tools/modelwriter/PictureWriter.h"
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
    {"common", MakeCommonFiles},
    {"level", MakeLevel},
    {"interface", MakeInterfacePictures},
    {"ship", MakeMainShip},
    {"sentinel", MakeSentinel},
    {"defender", MakeDefender},
    {"boss", MakeBoss},
    {"door", MakeDoor},
};

struct Options {
    const char* archive = nullptr;              // where data.qzr goes; none: no archive
    const char* loose = nullptr;                // every file also written here
    const char* previews = nullptr;             // every picture also written here as PNG
    const char* sheets = nullptr;               // the interface pictures as the game shows them
    const char* sources = HARN_CONTENT_DIR;     // the hand-written sources (the level script)
};

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int Usage()
{
    std::fprintf(stderr, "usage: zelmar_content [ARCHIVE] [--loose DIR] [--previews DIR] [--sheets DIR] [--sources DIR]\n"
                         "  makes the game's data and packs it into ARCHIVE (data.qzr); --loose writes every\n"
                         "  file into DIR, --previews every picture as PNG into DIR, --sheets PNG sheets of the\n"
                         "  interface pictures laid out as the game shows them; --sources names the folder of\n"
                         "  the hand-written sources (default: data/content of the source tree)\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--loose") == 0 && i + 1 < argc) {
            options.loose = argv[++i];
        } else if (std::strcmp(argv[i], "--previews") == 0 && i + 1 < argc) {
            options.previews = argv[++i];
        } else if (std::strcmp(argv[i], "--sheets") == 0 && i + 1 < argc) {
            options.sheets = argv[++i];
        } else if (std::strcmp(argv[i], "--sources") == 0 && i + 1 < argc) {
            options.sources = argv[++i];
        } else if (argv[i][0] != '-' && options.archive == nullptr) {
            options.archive = argv[i];
        } else {
            return false;
        }
    }
    return options.archive != nullptr || options.loose != nullptr || options.previews != nullptr ||
           options.sheets != nullptr;
}

bool WriteLoose(const AssetSet& assets, const char* folder)
{
    std::filesystem::create_directories(folder);
    for (const AssetSet::File& file : assets.Files()) {
        if (!WriteFile(std::filesystem::path(folder) / file.name, file.bytes)) {
            std::fprintf(stderr, "zelmar_content: cannot write %s into %s\n", file.name.c_str(), folder);
            return false;
        }
    }
    return true;
}

bool WritePreviews(const AssetSet& assets, const char* folder)
{
    std::filesystem::create_directories(folder);
    for (const AssetSet::File& file : assets.Files()) {
        Picture picture;
        if (!DecodePicture(file.bytes.data(), file.bytes.size(), picture)) continue;
        // The colour opaque, and the alpha (where there is any) as a grey picture of its own.
        Picture alpha = picture;
        bool hasAlpha = false;
        for (size_t i = 0; i < picture.rgba.size(); i += 4) {
            hasAlpha = hasAlpha || picture.rgba[i + 3] != 255;
            alpha.rgba[i] = alpha.rgba[i + 1] = alpha.rgba[i + 2] = picture.rgba[i + 3];
            alpha.rgba[i + 3] = picture.rgba[i + 3] = 255;
        }
        const std::filesystem::path path = std::filesystem::path(folder) / (file.name + ".png");
        const std::filesystem::path alphaPath = std::filesystem::path(folder) / (file.name + ".alpha.png");
        if (!WriteFile(path, PictureWriter::Png(picture)) || (hasAlpha && !WriteFile(alphaPath, PictureWriter::Png(alpha)))) {
            std::fprintf(stderr, "zelmar_content: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

bool Pack(const AssetSet& assets, const char* path)
{
    RarWriter::Options options;
    options.solid = true;
    // Lazy matching packs the data about a tenth larger than the cheapest parse, at a fifth of
    // the time.
    options.encoder.optimalParse = false;
    RarWriter writer(options);
    for (const AssetSet::File* file : ArchiveOrder(assets)) {
        if (!writer.Add(file->name, file->bytes, kFixedDosTime)) {
            std::fprintf(stderr, "zelmar_content: cannot pack %s\n", file->name.c_str());
            return false;
        }
    }
    if (!writer.WriteFile(path)) {
        std::fprintf(stderr, "zelmar_content: cannot write %s\n", path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();
    const auto start = std::chrono::steady_clock::now();
    AssetSet assets(options.sources);
    for (const Family& family : kFamilies) family.make(assets);
    for (const std::string& failure : assets.Failures()) std::fprintf(stderr, "zelmar_content: %s\n", failure.c_str());
    if (!assets.Failures().empty()) return 1;
    const auto made = std::chrono::steady_clock::now();
    if (options.loose != nullptr && !WriteLoose(assets, options.loose)) return 1;
    if (options.previews != nullptr && !WritePreviews(assets, options.previews)) return 1;
    if (options.sheets != nullptr) {
        std::filesystem::create_directories(options.sheets);
        std::string error;
        if (!WriteInterfacePreviews(assets, options.sheets, error)) {
            std::fprintf(stderr, "zelmar_content: %s\n", error.c_str());
            return 1;
        }
    }
    auto seconds = [](auto from, auto to) { return std::chrono::duration<double>(to - from).count(); };
    std::printf("zelmar_content: %zu files made in %.1f s\n", assets.Files().size(), seconds(start, made));
    if (options.archive == nullptr) return 0;
    if (!Pack(assets, options.archive)) return 1;
    std::printf("zelmar_content: packed into %s (%ju bytes) in %.1f s\n", options.archive,
                static_cast<uintmax_t>(std::filesystem::file_size(options.archive)), seconds(made, std::chrono::steady_clock::now()));
    return 0;
}
