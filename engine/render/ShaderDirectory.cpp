#include "engine/render/ShaderDirectory.h"

#include <unistd.h>

#include <climits>

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
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return "./";
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "./" : program.substr(0, slash + 1);
}
