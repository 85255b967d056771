#pragma once

#include <cstddef>

#include "game/shell/Replay.h"
#include "game/world/InputFeed.h"

// Plays a replay back into the game: each frame gets the recorded time step, the recorded input
// and the messages the level loop took then, so that the play goes as it went. Past the last
// frame it feeds idle input at the clock's time.
class ReplayFeed final : public InputFeed {
public:
    // The replay must outlive the feed.
    explicit ReplayFeed(const Replay& replay) : replay_(replay) {}

    void PostMessages() override;
    void Apply(Input& input) override;
    bool TimeStep(float* seconds) const override;

    bool Finished() const { return next_ >= replay_.frames.size(); }

private:
    const Replay& replay_;
    size_t next_ = 0;
};
