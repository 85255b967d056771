#include "tools/importer/SourceScene.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/postprocess.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "engine/platform/Log.h"

namespace {

constexpr int kInformation = 1;  // the log level the library's messages go to

// Every triangle, normals where the file has none, shared corners merged, points and lines in
// meshes of their own (so that they can be refused by name), v down the picture as the engine
// samples it, and the library's own consistency check.
constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_JoinIdenticalVertices |
                            aiProcess_SortByPType | aiProcess_FlipUVs | aiProcess_ValidateDataStructure;

class LogForwarder : public Assimp::LogStream {
public:
    void write(const char* message) override
    {
        std::string line = message;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        Log::Print(kInformation, "import: %s", line.c_str());
    }
};

// The library's messages go to our log while it lives; with information not asked for, the
// library gets no logger and whatever it prints by itself goes nowhere.
class LibraryOutput {
public:
    LibraryOutput()
    {
        if ((Log::MaskFromEnvironment(std::getenv("HARNENGINE_LOG")) & kInformation) != 0) {
            Assimp::DefaultLogger::create("", Assimp::Logger::VERBOSE, 0);
            Assimp::DefaultLogger::get()->attachStream(
                new LogForwarder,
                Assimp::Logger::Debugging | Assimp::Logger::Info | Assimp::Logger::Warn | Assimp::Logger::Err);
            logging_ = true;
            return;
        }
        std::fflush(stdout);
        std::fflush(stderr);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet < 0) return;
        for (int stream : {1, 2}) {
            kept_[stream - 1] = dup(stream);
            dup2(quiet, stream);
        }
        close(quiet);
    }
    ~LibraryOutput()
    {
        if (logging_) Assimp::DefaultLogger::kill();
        std::fflush(stdout);
        std::fflush(stderr);
        for (int stream : {1, 2}) {
            if (kept_[stream - 1] < 0) continue;
            dup2(kept_[stream - 1], stream);
            close(kept_[stream - 1]);
        }
    }
    LibraryOutput(const LibraryOutput&) = delete;
    LibraryOutput& operator=(const LibraryOutput&) = delete;

private:
    bool logging_ = false;
    int kept_[2] = {-1, -1};
};

std::string LowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

bool SourceScene::Read(const std::string& path, std::string* error)
{
    std::error_code status;
    if (!std::filesystem::is_regular_file(path, status)) {
        *error = "cannot read " + path + ": no such file";
        return false;
    }
    std::string reason;
    {
        LibraryOutput output;
        try {
            scene_ = importer_.ReadFile(path, kSteps);
            if (scene_ == nullptr) reason = importer_.GetErrorString();
        } catch (const std::exception& thrown) {
            scene_ = nullptr;
            reason = thrown.what();
        } catch (...) {
            scene_ = nullptr;
            reason = "the reader failed";
        }
    }
    if (scene_ == nullptr || scene_->mRootNode == nullptr) {
        scene_ = nullptr;
        *error = "cannot read " + path + ": " + (reason.empty() ? "no scene in it" : reason);
        return false;
    }
    const std::string extension = LowerExtension(path);
    fromGltf_ = extension == ".gltf" || extension == ".glb";
    return true;
}
