#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "engine/unrarlib/RarDirectory.h"
#include "engine/unrarlib/RarExtract.h"
#include "tools/harntool/Commands.h"
#include "tools/rarwriter/RarWriter.h"

// harntool qzr: lists, extracts and creates the game's resource archives.
namespace {

namespace fs = std::filesystem;

// The window-size bits of a file header all set mark a folder entry.
constexpr uint16_t kDirectoryFlags = 0x00E0;

int Usage()
{
    std::fprintf(stderr,
                 "usage: harntool qzr list ARCHIVE\n"
                 "       harntool qzr cat ARCHIVE NAME\n"
                 "       harntool qzr extract ARCHIVE DIR\n"
                 "       harntool qzr create [--store] [--solid] ARCHIVE FILE...\n");
    return 2;
}

int List(const char* archive)
{
    std::vector<RarEntryInfo> entries;
    bool solid = false;
    if (!RarListEntries(archive, entries, solid)) {
        std::fprintf(stderr, "harntool: %s is not a RAR 2.0 archive this reader handles\n", archive);
        return 1;
    }
    // Tab-separated, so that names with spaces stay one field.
    for (const RarEntryInfo& entry : entries) {
        std::printf("%s\t%u\t%u\t%08x\t0x%02x\t%u\t%s\n", entry.name.c_str(), entry.unpackedSize, entry.packedSize,
                    entry.fileCrc, entry.method, entry.unpackVersion, entry.solid ? "solid" : "-");
    }
    return 0;
}

int Cat(const char* archive, const char* name)
{
    char* data = nullptr;
    unsigned long size = 0;
    if (RarExtract(&data, &size, name, archive, nullptr) == 0) {
        std::fprintf(stderr, "harntool: cannot extract %s from %s\n", name, archive);
        return 1;
    }
    const bool written = std::fwrite(data, 1, size, stdout) == size;
    std::free(data);
    return written ? 0 : 1;
}

// The path an entry takes under the target folder, or empty when it would leave it.
fs::path SafeEntryPath(std::string name)
{
    for (char& c : name) {
        if (c == '\\') c = '/';
    }
    const fs::path path(name);
    if (name.empty() || path.is_absolute() || path.has_root_name() || name[0] == '/') return {};
    for (const fs::path& part : path) {
        if (part == "..") return {};
    }
    return path.lexically_normal();
}

int Extract(const char* archive, const char* folder)
{
    std::vector<RarEntryInfo> entries;
    bool solid = false;
    if (!RarListEntries(archive, entries, solid)) {
        std::fprintf(stderr, "harntool: %s is not a RAR 2.0 archive this reader handles\n", archive);
        return 1;
    }
    int status = 0;
    for (const RarEntryInfo& entry : entries) {
        const fs::path relative = SafeEntryPath(entry.name);
        if (relative.empty()) {
            std::fprintf(stderr, "harntool: refusing %s: it would leave %s\n", entry.name.c_str(), folder);
            status = 1;
            continue;
        }
        std::error_code error;
        if ((entry.flags & kDirectoryFlags) == kDirectoryFlags) {
            fs::create_directories(fs::path(folder) / relative, error);
            continue;
        }
        char* data = nullptr;
        unsigned long size = 0;
        if (RarExtract(&data, &size, entry.name.c_str(), archive, nullptr) == 0) {
            std::fprintf(stderr, "harntool: cannot extract %s\n", entry.name.c_str());
            status = 1;
            continue;
        }
        const fs::path target = fs::path(folder) / relative;
        fs::create_directories(target.parent_path(), error);
        std::ofstream out(target, std::ios::binary);
        out.write(data, static_cast<std::streamsize>(size));
        std::free(data);
        if (!out) {
            std::fprintf(stderr, "harntool: cannot write %s\n", target.string().c_str());
            status = 1;
        }
    }
    return status;
}

// The entry name of a file given on the command line: its path relative to the current folder.
std::string EntryName(const char* file)
{
    std::error_code error;
    fs::path path = fs::path(file).lexically_normal();
    if (path.is_absolute()) path = path.lexically_relative(fs::current_path(error));
    const std::string name = path.generic_string();
    if (name.empty() || name == "." || name.rfind("..", 0) == 0) return {};
    return name;
}

int Create(int argc, char** argv)
{
    RarWriter::Options options;
    int next = 0;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "--store") == 0) {
            options.store = true;
        } else if (std::strcmp(argv[next], "--solid") == 0) {
            options.solid = true;
        } else {
            return Usage();
        }
    }
    if (argc - next < 2) return Usage();
    const char* archive = argv[next++];
    RarWriter writer(options);
    for (; next < argc; ++next) {
        const std::string name = EntryName(argv[next]);
        if (name.empty()) {
            std::fprintf(stderr, "harntool: %s lies outside the current folder\n", argv[next]);
            return 1;
        }
        std::error_code error;
        std::ifstream in(argv[next], std::ios::binary);
        if (!fs::is_regular_file(argv[next], error) || !in) {
            std::fprintf(stderr, "harntool: cannot read %s\n", argv[next]);
            return 1;
        }
        const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        struct stat info {};
        const uint32_t dosTime = stat(argv[next], &info) == 0 ? RarWriter::DosTime(info.st_mtime) : 0;
        if (!writer.Add(name, data, dosTime)) {
            std::fprintf(stderr, "harntool: cannot add %s\n", argv[next]);
            return 1;
        }
    }
    if (!writer.WriteFile(archive)) {
        std::fprintf(stderr, "harntool: cannot write %s\n", archive);
        return 1;
    }
    return 0;
}

}  // namespace

int RunQzrCommand(int argc, char** argv)
{
    if (argc < 1) return Usage();
    const std::string verb = argv[0];
    if (verb == "list" && argc == 2) return List(argv[1]);
    if (verb == "cat" && argc == 3) return Cat(argv[1], argv[2]);
    if (verb == "extract" && argc == 3) return Extract(argv[1], argv[2]);
    if (verb == "create") return Create(argc - 1, argv + 1);
    return Usage();
}
