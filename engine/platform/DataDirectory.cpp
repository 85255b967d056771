#include "engine/platform/DataDirectory.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

namespace {

std::string& CurrentDirectory()
{
    static std::string directory = DataDirectory::Find(DataDirectory::ProgramDirectory());
    return directory;
}

std::string WithSlash(const std::string& directory)
{
    return directory.empty() || directory.back() == '/' ? directory : directory + '/';
}

bool HoldsArchive(const std::string& directory)
{
    std::error_code error;
    return std::filesystem::is_regular_file(directory + DataDirectory::kArchiveName, error);
}

}  // namespace

const std::string& DataDirectory::Get()
{
    return CurrentDirectory();
}

void DataDirectory::Set(const std::string& directory)
{
    CurrentDirectory() = directory.empty() ? Find(ProgramDirectory()) : WithSlash(directory);
}

std::string DataDirectory::PathOf(const char* fileName)
{
    if (fileName == nullptr) return Get();
    if (fileName[0] == '/') return fileName;
    return Get() + fileName;
}

std::string DataDirectory::Locate(const std::string& programDirectory)
{
    if (programDirectory.empty()) return {};
    const std::string beside = WithSlash(programDirectory);
    if (HoldsArchive(beside)) return beside;
    const std::string installed = beside + kInstalledFolder;
    return HoldsArchive(installed) ? installed : std::string();
}

std::string DataDirectory::Find(const std::string& programDirectory)
{
    const std::string located = Locate(programDirectory);
    return located.empty() ? WithSlash(programDirectory) : located;
}

std::string DataDirectory::ProgramDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return "./";
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "./" : program.substr(0, slash + 1);
}
