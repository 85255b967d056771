#pragma once

// Starts the sound library once for the program with a channel count and a mix rate, and closes
// it when destroyed (closing an already closed library is harmless, so more than one owner may
// exist).
class SoundSystem {
public:
    SoundSystem() = default;
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Driver 0 and 1 choose the system outputs (logged by their names), anything else the
    // library's default. On failure the game runs silent: every later sound call does nothing.
    bool Start(int channels, int mixRate, int driver);

    // Both 0 until a start succeeds.
    int Channels() const { return channels_; }
    int MixRate() const { return mixRate_; }

private:
    int channels_ = 0;
    int mixRate_ = 0;
};
