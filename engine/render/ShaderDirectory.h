#pragma once

#include <string>

// Where the shader sources are read from. They lie beside the program: the build copies data/*.vsh
// and data/*.psh into the folder of the executables, so the default is the folder of the running
// program. Tests and tools that run from elsewhere point it at the source tree's data/ folder.
class ShaderDirectory {
public:
    // The folder in use, with a trailing '/'.
    static const std::string& Get();
    // An empty path restores the default.
    static void Set(const std::string& directory);
    // The full path of a source file in the folder.
    static std::string PathOf(const char* fileName);
    // The folder of the running program, with a trailing '/'; "./" when it cannot be found.
    static std::string ProgramDirectory();
};
