#include "engine/render/ShaderDirectory.h"

#include "engine/platform/DataDirectory.h"

namespace {

std::string& CurrentDirectory()
{
    static std::string directory = ShaderDirectory::ProgramDirectory();
    return directory;
}

}  // namespace

const std::string& ShaderDirectory::Get()
{
    return CurrentDirectory();
}

void ShaderDirectory::Set(const std::string& directory)
{
    if (directory.empty()) {
        CurrentDirectory() = ProgramDirectory();
        return;
    }
    CurrentDirectory() = directory.back() == '/' ? directory : directory + '/';
}

std::string ShaderDirectory::PathOf(const char* fileName)
{
    return Get() + (fileName ? fileName : "");
}

std::string ShaderDirectory::ProgramDirectory()
{
    return DataDirectory::ProgramDirectory();
}
