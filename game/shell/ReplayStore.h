#pragma once

#include <string>

#include "game/shell/Replay.h"

// Where the game keeps the replays of its level plays: $XDG_STATE_HOME/zelmar/replays/, or
// ~/.local/state/zelmar/replays/ without it, the last kKept of them, named by the time they were
// kept (UTC, so that names sort as they were played). Nothing else is written there; a folder
// that cannot be written costs the replay and one log line, never the game.
class ReplayStore {
public:
    static constexpr size_t kKept = 10;
    static constexpr const char* kExtension = ".replay";

    // The folder, with a trailing '/', as the environment gives it; empty without a home.
    static std::string Folder();
    // Writes the replay into the folder (made when missing) and deletes the oldest replays beyond
    // kKept. Returns the file's path, or empty when it was not kept (logged).
    static std::string Keep(const Replay& replay);
    // Keep into a given folder, naming the file after the time given in seconds since 1970.
    static std::string KeepIn(const std::string& folder, const Replay& replay, double now);
};
