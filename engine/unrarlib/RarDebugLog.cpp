#include "engine/unrarlib/RarDebugLog.h"

#include <cstdarg>
#include <cstdio>

const char* RarDebugLog::DefaultFolder()
{
#ifdef _WIN32
    return "C:\\temp";
#else
    return "/tmp/harnengine-debug";
#endif
}

void RarDebugLog::Start(const std::string& folder)
{
    started_ = true;
    start_ = std::chrono::steady_clock::now();
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    const std::string path = folder + separator + kFileName;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return;
    std::fputs("Debug log of Kalvor's RADErizEza\n~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~\n", file);
    std::fprintf(file, "(executable compiled on %s at %s)\n\n", __DATE__, __TIME__);
    std::fclose(file);
    path_ = path;
}

void RarDebugLog::Write(unsigned line, const char* sourceFile, const char* message) const
{
    if (path_.empty()) return;
    std::FILE* file = std::fopen(path_.c_str(), "a");
    if (file == nullptr) return;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    std::fprintf(file, " %8u ms (line %u in %s):\n              - %s\n", static_cast<unsigned>(milliseconds), line,
                 sourceFile, message);
    std::fclose(file);
}

void RarDebugLog::Printf(unsigned line, const char* sourceFile, const char* format, ...) const
{
    if (path_.empty()) return;
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    Write(line, sourceFile, message);
}
