#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/rarwriter/RarWriter.h"

// Compressed sizes of the archive writer next to `gzip -6` on the same files: the project's
// sources as a text corpus, and the outside test data. Each file is packed on its own by both,
// and the writer once more as one solid archive.
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t GzipSize(const fs::path& path)
{
    const std::string command = "gzip -6 -n -c '" + path.string() + "' | wc -c";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return 0;
    unsigned long long size = 0;
    if (std::fscanf(pipe, "%llu", &size) != 1) size = 0;
    pclose(pipe);
    return size;
}

std::vector<fs::path> Corpus(const fs::path& root, const std::vector<std::string>& extensions)
{
    std::vector<fs::path> files;
    if (!fs::is_directory(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const std::string text = entry.path().string();
        if (text.find("/build/") != std::string::npos || text.find("/.git") != std::string::npos) continue;
        const std::string extension = entry.path().extension().string();
        for (const std::string& wanted : extensions) {
            if (extension == wanted) files.push_back(entry.path());
        }
    }
    return files;
}

void Report(const char* label, const std::vector<fs::path>& files)
{
    if (files.empty()) {
        std::printf("%-22s (no files found)\n", label);
        return;
    }
    uint64_t raw = 0, gzip = 0;
    RarWriter perFile;
    RarWriter::Options solidOptions;
    solidOptions.solid = true;
    RarWriter solid(solidOptions);
    for (const fs::path& file : files) {
        const Bytes bytes = ReadBytes(file);
        raw += bytes.size();
        gzip += GzipSize(file);
        perFile.Add(file.filename().string(), bytes);
        solid.Add(file.filename().string(), bytes);
    }
    uint64_t ours = 0, oursSolid = 0;
    for (const auto& entry : perFile.Entries()) ours += entry.packedSize;
    for (const auto& entry : solid.Entries()) oursSolid += entry.packedSize;
    // gzip -n spends 18 bytes per file on its header and trailer; the rest is the deflate stream.
    const uint64_t deflate = gzip - 18 * files.size();
    const auto percent = [raw](uint64_t size) { return 100.0 * static_cast<double>(size) / static_cast<double>(raw); };
    std::printf("%-22s %4zu files %10llu bytes | gzip -6 %9llu (%5.1f%%) deflate only %9llu (%5.1f%%) | "
                "qzr %9llu (%5.1f%%) with headers %9llu (%5.1f%%) solid %9llu (%5.1f%%)\n",
                label, files.size(), static_cast<unsigned long long>(raw), static_cast<unsigned long long>(gzip),
                percent(gzip), static_cast<unsigned long long>(deflate), percent(deflate),
                static_cast<unsigned long long>(ours), percent(ours),
                static_cast<unsigned long long>(perFile.Bytes().size()), percent(perFile.Bytes().size()),
                static_cast<unsigned long long>(oursSolid), percent(oursSolid));
}

}  // namespace

int main()
{
    std::printf("qzr: packed data of each file alone, then the whole archive with its headers, then packed data of\n"
                "one solid archive; percentages of the original size\n");
    Report("project sources", Corpus(HARN_SOURCE_DIR, {".cpp", ".h", ".md", ".txt", ".json", ".cmake"}));
    const fs::path testdata = fs::path(HARN_TESTDATA_DIR) / "rar";
    Report("test data (wav, bin)", Corpus(testdata, {".wav", ".bin"}));
    Report("test data (all files)", Corpus(HARN_TESTDATA_DIR, {".wav", ".bin", ".md", ".rar"}));
    return 0;
}
