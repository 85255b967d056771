#pragma once

#include <chrono>
#include <string>

// The archive reader's own diagnostics file. It is switched on once, by creating the file in a
// folder that must already exist; without that folder nothing is ever written.
class RarDebugLog {
public:
    // The folder the reader uses: "C:\temp" on Windows, /tmp/harnengine-debug elsewhere.
    static const char* DefaultFolder();
    static constexpr const char* kFileName = "debug_unrar.txt";

    // Creates the log in folder and writes the banner; afterwards Enabled tells whether it worked.
    void Start(const std::string& folder);
    bool Started() const { return started_; }
    bool Enabled() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

    // One message, stamped with the milliseconds since Start and the source line reporting it.
    void Write(unsigned line, const char* sourceFile, const char* message) const;
    void Printf(unsigned line, const char* sourceFile, const char* format, ...) const
        __attribute__((format(printf, 4, 5)));

private:
    bool started_ = false;
    std::string path_;
    std::chrono::steady_clock::time_point start_;
};

#define RAR_LOG(log, message) (log).Write(__LINE__, __FILE__, message)
#define RAR_LOGF(log, ...) (log).Printf(__LINE__, __FILE__, __VA_ARGS__)
