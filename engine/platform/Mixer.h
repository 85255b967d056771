#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/platform/SampleData.h"

class ModuleSong;

// Mixes up to a fixed number of sample channels and the playing songs into 16-bit stereo at one
// rate. A channel plays its sample to the end and then frees itself (a looping sample plays
// until stopped). Not thread-aware: the sound library calls it with the audio device locked.
class Mixer {
public:
    Mixer(int channels, int rate);

    static constexpr int kFree = -1;  // "any free channel"

    // Starts the sample on the given channel (cutting off what played there) or, for kFree, on
    // the lowest free one. Returns the channel, or -1 when none is free or the channel does not
    // exist.
    int Play(int channel, const SampleData* sample, bool paused);
    // Silences every channel that plays the sample, before the sample goes away.
    void StopSample(const SampleData* sample);
    bool SetPaused(int channel, bool paused);
    bool IsPlaying(int channel) const;
    int ChannelsPlaying() const;
    int Channels() const { return static_cast<int>(voices_.size()); }
    int Rate() const { return rate_; }

    // Songs are mixed while they are on the list and playing; one that ends leaves the list.
    void AddSong(ModuleSong* song);
    void RemoveSong(ModuleSong* song);

    // Fills frames stereo frames (interleaved) with everything that plays, clipped to 16 bits.
    void Mix(int16_t* out, size_t frames);

private:
    struct Voice {
        const SampleData* sample = nullptr;
        size_t position = 0;  // in frames
        bool paused = false;
    };

    static constexpr size_t kBlockFrames = 1024;

    void MixBlock(int16_t* out, size_t frames);
    void MixVoice(Voice& voice, size_t frames);
    void MixSongs(size_t frames);

    int rate_;
    std::vector<Voice> voices_;
    std::vector<ModuleSong*> songs_;
    std::vector<int32_t> sum_;
    std::vector<int16_t> songBlock_;
};
