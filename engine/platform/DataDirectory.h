#pragma once

#include <string>

// Where the game's loose data files lie: the archive "data.qzr", the sound samples and the music
// module. The default is the folder of the running program when it holds the archive, else
// ../share/zelmar beside that folder when that one does (an installed game), else the program's
// folder; the working directory never counts. Tools and tests choose another folder with Set.
class DataDirectory {
public:
    static constexpr const char* kArchiveName = "data.qzr";
    static constexpr const char* kInstalledFolder = "../share/zelmar/";

    // The folder in use, with a trailing '/'.
    static const std::string& Get();
    // An empty path restores the default.
    static void Set(const std::string& directory);
    // The file's path in the folder; a name that is already absolute is kept as it is.
    static std::string PathOf(const char* fileName);
    // The default folder for a program that lives in programDirectory (with a trailing '/').
    static std::string Find(const std::string& programDirectory);
    // The folder of the running program, with a trailing '/'; "./" when it cannot be found.
    static std::string ProgramDirectory();
};
