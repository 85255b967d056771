#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

// Runs a shell command line; gives back its exit status and what it wrote to standard output.
struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) result.output.append(buffer, got);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

inline bool ProgramOnPath(const std::string& program)
{
    return RunCommand("command -v " + program + " >/dev/null 2>&1").status == 0;
}

// Single quotes for the shell.
inline std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
