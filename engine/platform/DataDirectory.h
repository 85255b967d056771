#pragma once

#include <string>

// Where a program's data lies: beside the executable while it runs from the build folder, or in a
// folder relative to it once installed (bin/ and share/NAME/ side by side). Found from the
// executable's own path, so the working directory does not matter.
class DataDirectory {
public:
    // The folder of the running program, with a trailing '/'; "./" when it cannot be found.
    static std::string ProgramDirectory();
    // The first of programDirectory and programDirectory + installedRelative that holds a file
    // named marker, with a trailing '/'; empty when neither does.
    static std::string Find(const std::string& programDirectory, const char* marker, const char* installedRelative);
};
