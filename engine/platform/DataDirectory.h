#pragma once

#include <string>

// Where the game's data lies: the archive "data.qzr", the shader sources, the sound samples and the
// music module. Beside the running program while it runs from the build folder, or in
// ../share/zelmar beside it once installed (bin/ and share/zelmar/ side by side); found from the
// executable's own path, so the working directory never counts. Tools and tests choose another
// folder with Set.
class DataDirectory {
public:
    static constexpr const char* kArchiveName = "data.qzr";
    static constexpr const char* kInstalledFolder = "../share/zelmar/";

    // The folder in use, with a trailing '/': the one Set chose, else the one Find gives for the
    // running program.
    static const std::string& Get();
    // An empty path restores the default.
    static void Set(const std::string& directory);
    // The file's path in the folder; a name that is already absolute is kept as it is.
    static std::string PathOf(const char* fileName);
    // The first of programDirectory and its ../share/zelmar that holds the archive, with a trailing
    // '/'; empty when neither does.
    static std::string Locate(const std::string& programDirectory);
    // Locate's folder, or programDirectory itself when the archive is in neither place.
    static std::string Find(const std::string& programDirectory);
    // The folder of the running program, with a trailing '/'; "./" when it cannot be found.
    static std::string ProgramDirectory();
};
