#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

// Runs one of the build's programs (a path under the build folder) with its arguments, standard
// output and error going to the given files; the exit status back, or -1 when it did not exit.
inline int RunProgram(const std::string& program, const std::string& args, const std::string& outPath = "/dev/null",
                      const std::string& errPath = "/dev/null")
{
    const std::string command = std::string(HARN_BINARY_DIR) + "/" + program + " " + args + " >" + outPath + " 2>" + errPath;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
