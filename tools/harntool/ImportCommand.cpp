#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/harntool/Commands.h"
#include "tools/importer/ModelImporter.h"
#include "tools/modelwriter/ModelWriter.h"

// harntool import IN OUT.3df [--scale S] [--fps K]: a model from a modelling program's export
// as a 3DF file. Nothing is written unless the whole model converts: every file goes to a
// temporary name first and takes its own name only once all of them are complete.
namespace {

constexpr float kMaxScale = 1e6f;  // engine units per source unit
constexpr float kMaxKeysPerSecond = 1000.0f;
constexpr float kEngineKeysPerSecond = 10.0f;

const char* const kUsage = "usage: harntool import IN OUT.3df [--scale S] [--fps K]\n";

struct Options {
    std::string in;
    std::string out;
    ImportOptions import;
};

bool ParseNumber(const char* text, float low, float high, float* value)
{
    char* end = nullptr;
    const float parsed = std::strtof(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(parsed) || !(parsed > low) || parsed > high) return false;
    *value = parsed;
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--scale") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], 0.0f, kMaxScale, &options->import.scale)) return false;
        } else if (std::strcmp(argv[i], "--fps") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], 0.0f, kMaxKeysPerSecond, &options->import.keysPerSecond)) return false;
        } else if (argv[i][0] != '-' || argv[i][1] == '\0') {
            files.push_back(argv[i]);
        } else {
            return false;
        }
    }
    if (files.size() != 2) return false;
    options->in = files[0];
    options->out = files[1];
    return true;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Files to write, each under a temporary name beside its own until all are complete.
class FileSet {
public:
    void Add(std::string path, std::vector<uint8_t> bytes) { files_.push_back({std::move(path), std::move(bytes)}); }

    // On any failure no file of the set is left behind, and *failed names the one that failed.
    bool Commit(std::string* failed)
    {
        std::vector<std::string> temporaries;
        for (const Pending& file : files_) {
            temporaries.push_back(file.path + ".tmp-" + std::to_string(getpid()));
            if (!WriteBytes(temporaries.back(), file.bytes)) return Abandon(temporaries, 0, file.path, failed);
        }
        for (size_t i = 0; i < files_.size(); ++i) {
            std::error_code error;
            std::filesystem::rename(temporaries[i], files_[i].path, error);
            if (error) return Abandon(temporaries, i, files_[i].path, failed);
        }
        return true;
    }

private:
    struct Pending {
        std::string path;
        std::vector<uint8_t> bytes;
    };

    // Removes the temporaries and the files already renamed (those before index renamed).
    bool Abandon(const std::vector<std::string>& temporaries, size_t renamed, const std::string& path,
                 std::string* failed)
    {
        std::error_code error;
        for (size_t i = 0; i < temporaries.size(); ++i) {
            std::filesystem::remove(i < renamed ? files_[i].path : temporaries[i], error);
        }
        *failed = path;
        return false;
    }

    std::vector<Pending> files_;
};

void Report(const Options& options, const ImportResult& result)
{
    const ModelFile& model = result.model;
    std::printf("import: %s: %zu objects, %zu materials, %zu lights, %zu cameras, %d keys\n", options.out.c_str(),
                model.objects.size(), model.materials.size(), model.lights.size(), model.cameras.size(),
                model.frameCount);
    for (const ImportedPicture& picture : result.pictures) std::printf("import: picture %s\n", picture.name.c_str());
    std::fflush(stdout);
    for (const std::string& note : result.notes) std::fprintf(stderr, "harntool import: note: %s\n", note.c_str());
    if (options.import.keysPerSecond != kEngineKeysPerSecond && model.frameCount > 1) {
        std::fprintf(
            stderr,
            "harntool import: note: the engine plays 10 keys a second, so this animation runs at %g times its speed\n",
            static_cast<double>(kEngineKeysPerSecond / options.import.keysPerSecond));
    }
}

int Import(const Options& options)
{
    namespace fs = std::filesystem;
    const fs::path out(options.out);
    const ImportResult result = ModelImporter::Import(options.in, options.import, out.stem().string());
    if (!result.ok) {
        std::fprintf(stderr, "harntool import: %s: %s\n", options.in.c_str(), result.error.c_str());
        return 1;
    }
    FileSet files;
    for (const ImportedPicture& picture : result.pictures) {
        files.Add((out.parent_path() / picture.name).string(), picture.bytes);
    }
    files.Add(options.out, ModelWriter::Write(result.model));
    std::string failed;
    if (!files.Commit(&failed)) {
        std::fprintf(stderr, "harntool import: cannot write %s\n", failed.c_str());
        return 1;
    }
    Report(options, result);
    return 0;
}

// The reading library can fault on a file it does not expect (Debian's version does on a skin
// without inverse bind matrices), so the import runs in a child process: such a file then ends
// in a message like any other. The child writes nothing before the library is done reading, and
// sends its exit status down a pipe once the import has run its course; a child that ends without
// sending it has failed inside the library (a sanitizer's report ends it with a plain exit).
int ImportInChild(const Options& options)
{
    int channel[2];
    std::fflush(nullptr);
    if (pipe(channel) != 0) return Import(options);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return Import(options);
    }
    if (child == 0) {
        close(channel[0]);
        const unsigned char status = static_cast<unsigned char>(Import(options));
        std::fflush(nullptr);
        const bool sent = write(channel[1], &status, 1) == 1;
        _exit(sent ? status : 1);
    }
    close(channel[1]);
    unsigned char status = 0;
    ssize_t got = 0;
    while ((got = read(channel[0], &status, 1)) < 0 && errno == EINTR) {}
    close(channel[0]);
    int ended = 0;
    while (waitpid(child, &ended, 0) < 0 && errno == EINTR) {}
    if (got == 1) return status;
    std::fprintf(stderr, "harntool import: %s: the model reading library failed on this file; nothing was written\n",
                 options.in.c_str());
    return 1;
}

}  // namespace

int RunImportCommand(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return ImportInChild(options);
}
