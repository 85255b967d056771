#include "game/shell/ReplayStore.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/platform/Log.h"
#include "game/shell/ReplayFile.h"

namespace {

constexpr const char* kSubfolder = "zelmar/replays/";
constexpr mode_t kFolderMode = 0700;  // state is the user's own
constexpr int kNameAttempts = 1000;   // milliseconds tried forward when a name is taken

// Makes every missing folder of the path; errno tells why when it cannot.
bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST) return false;
    }
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// "20250314T092653.589Z": the moment to the millisecond, in UTC, moved on by extra milliseconds.
std::string NameAt(double seconds, int extraMilliseconds)
{
    const int64_t total = std::max<int64_t>(0, static_cast<int64_t>(std::floor(seconds * 1000.0))) + extraMilliseconds;
    const time_t clock = static_cast<time_t>(total / 1000);
    struct tm parts {};
    gmtime_r(&clock, &parts);
    char text[64];
    std::snprintf(text, sizeof(text), "%04d%02d%02dT%02d%02d%02d.%03dZ", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                  parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(total % 1000));
    return text;
}

bool Exists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

void DeleteOldest(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && name.ends_with(ReplayStore::kExtension)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (size_t i = 0; i + ReplayStore::kKept < names.size(); ++i) std::remove((folder + names[i]).c_str());
}

}  // namespace

std::string ReplayStore::Folder()
{
    // Relative paths in the variable are to be ignored, as if it were unset.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/" + kSubfolder;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/" + kSubfolder;
    return {};
}

std::string ReplayStore::Keep(const Replay& replay)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return KeepIn(Folder(), replay, static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9);
}

std::string ReplayStore::KeepIn(const std::string& folder, const Replay& replay, double now)
{
    if (!replay.complete) {
        Log::Print(4, "Replay not kept: the play ran past %d frames\n", Replay::kMaxFrames);
        return {};
    }
    if (folder.empty()) {
        Log::Print(4, "Replay not kept: no home folder to keep it in\n");
        return {};
    }
    if (!MakeFolders(folder)) {
        Log::Print(4, "Replay not kept: cannot make %s: %s\n", folder.c_str(), std::strerror(errno));
        return {};
    }
    std::string path;
    for (int extra = 0; extra < kNameAttempts && (path.empty() || Exists(path)); ++extra) path = folder + NameAt(now, extra) + kExtension;
    std::string error;
    if (!ReplayFile::Save(path, replay, &error)) {
        Log::Print(4, "Replay not kept: cannot write %s: %s\n", path.c_str(), error.c_str());
        return {};
    }
    DeleteOldest(folder);
    Log::Print(1, "Replay kept: %s\n", path.c_str());
    return path;
}
