#pragma once

#include <cstdarg>
#include <functional>
#include <string>

// The engine's diagnostic channel. Levels: 1 information, 2 level-script parse errors, 4 failures
// the user should see. Texts are the program's own bytes (Latin-1 where they carry accents).
// By default level-4 lines go to standard error; HARNENGINE_LOG holds a mask of the levels to show
// (7 shows all). Nothing in the program depends on what the log prints.
class Log {
public:
    static void Section(int level, const char* title);
    static void Print(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Receives every formatted line whatever the mask, for tests and tools; empty to detach.
    using Listener = std::function<void(int level, const std::string& text)>;
    static void SetListener(Listener listener);

    // The mask as HARNENGINE_LOG gives it; 4 when the variable is absent or not a number.
    static int MaskFromEnvironment(const char* value);
};

// Latin-1 bytes as UTF-8, for writing to a terminal.
std::string Latin1ToUtf8(const std::string& latin1);
