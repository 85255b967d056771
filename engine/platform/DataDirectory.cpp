#include "engine/platform/DataDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

std::string WithSlash(const std::string& directory)
{
    return directory.empty() || directory.back() == '/' ? directory : directory + '/';
}

bool HoldsFile(const std::string& directory, const char* name)
{
    struct stat status {};
    return stat((directory + name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::string DataDirectory::ProgramDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return "./";
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "./" : program.substr(0, slash + 1);
}

std::string DataDirectory::Find(const std::string& programDirectory, const char* marker, const char* installedRelative)
{
    if (programDirectory.empty() || marker == nullptr || *marker == '\0') return {};
    const std::string beside = WithSlash(programDirectory);
    if (HoldsFile(beside, marker)) return beside;
    if (installedRelative == nullptr || *installedRelative == '\0') return {};
    const std::string installed = WithSlash(beside + installedRelative);
    return HoldsFile(installed, marker) ? installed : std::string();
}
