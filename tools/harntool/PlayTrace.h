#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "game/world/GameEvent.h"

class Game;

// What harntool play writes about a play: one JSON line a frame (when given a file) and the
// summary at the end. Everything in both comes from the game's state and the fixed time step, so
// the same data and input give the same bytes, except the summary's mean CPU time, its last field.
class PlayTrace {
public:
    // Lines go to out, which the caller owns; null writes none and only counts.
    explicit PlayTrace(std::FILE* out) : out_(out) {}

    // The events of BeginPlay, written with the first frame.
    void Started(const Game& game);
    // After each PlayFrame: the frame's line, and the counts for the summary.
    void Frame(const Game& game, double cpuSeconds);
    // The summary line; stopped is the quit reason, or "frames" when the frame limit ended the play.
    std::string Summary(const Game& game, const char* stopped) const;

    int Frames() const { return frames_; }

    // One event as the trace writes it.
    static std::string EventJson(const GameEvent& event);
    // How many nodes hang under the game's root.
    static int CountNodes(const Game& game);

private:
    void Count(const GameEvent& event);

    std::FILE* out_;
    std::vector<GameEvent> pending_;
    int frames_ = 0;
    double seconds_ = 0.0;
    double cpuSeconds_ = 0.0;
    std::map<std::string, int> destroyed_;
};
