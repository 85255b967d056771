#include "game/shell/DataCheck.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>

#include "engine/platform/ArchiveCheck.h"
#include "engine/platform/DataDirectory.h"
#include "engine/render/AlphaPixelShader.h"
#include "engine/render/GlowPixelShader.h"
#include "engine/render/GlowVertexShader.h"
#include "engine/render/NormalMapVertexShader.h"
#include "engine/render/NullVertexShader.h"
#include "engine/render/ParticleVertexShader.h"

namespace {

constexpr const char* kProgram = "zelmar";
constexpr const char* kMessageBoxTitle = "Zelmar cannot start";

const char* const kShaderSources[] = {
    NullVertexShader::kSourceFile,      NormalMapVertexShader::kSourceFile, GlowVertexShader::kSourceFile,
    GlowPixelShader::kSourceFile,       AlphaPixelShader::kSourceFile,      ParticleVertexShader::kSourceFile,
};

bool IsFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string Line(const std::string& text)
{
    return std::string(kProgram) + ": " + text + "; reinstall the game";
}

}  // namespace

std::string DataCheck::Problem(const std::string& programDirectory, std::string* dataDirectory)
{
    const std::string directory = DataDirectory::Locate(programDirectory);
    if (directory.empty()) {
        return Line("cannot find \"" + std::string(DataDirectory::kArchiveName) + "\" in " + programDirectory + " or " + programDirectory +
                    DataDirectory::kInstalledFolder);
    }
    for (const char* shader : kShaderSources) {
        if (!IsFile(directory + shader)) return Line("cannot find the shader source \"" + directory + shader + "\"");
    }
    std::string problem;
    const std::string archive = directory + DataDirectory::kArchiveName;
    if (!ArchiveCheck::Verify(archive.c_str(), &problem)) return Line("\"" + archive + "\" " + problem);
    if (dataDirectory != nullptr) *dataDirectory = directory;
    return {};
}

bool DataCheck::Run(std::string* dataDirectory)
{
    const std::string problem = Problem(DataDirectory::ProgramDirectory(), dataDirectory);
    if (problem.empty()) return true;
    std::fprintf(stderr, "%s\n", problem.c_str());
    // Without a display the box cannot open; the line on standard error stands alone then.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageBoxTitle, problem.c_str(), nullptr);
    return false;
}
