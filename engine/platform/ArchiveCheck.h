#pragma once

#include <string>

// A whole-archive check for program start: every entry of a resource archive is read and
// compared with its stored CRC, so that a damaged file is found before anything runs on it
// rather than as a missing texture in the middle of a level.
class ArchiveCheck {
public:
    // True when the archive can be read, holds at least one entry and every entry extracts with a
    // matching CRC. Otherwise false, with what is wrong in *problem (a short phrase naming the
    // entry, without the archive's name).
    static bool Verify(const char* archive, std::string* problem);
};
