#pragma once

class SoundSample;

// One play of a sample, made on the stack by the code that plays a sound. Position and velocity
// are kept for the callers' use; the sound library does not take them.
struct SoundInstance {
    explicit SoundInstance(SoundSample* playedSample) : sample(playedSample) {}

    // Plays the sample once on any free channel; stores and returns the channel, -1 when nothing
    // plays (no sample, a null handle, no free channel, no sound).
    int Play(bool startPaused);

    int channel = -1;
    int paused = 0;
    SoundSample* sample = nullptr;
    float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float velocity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};
