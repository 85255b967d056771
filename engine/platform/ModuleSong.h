#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct openmpt_module;

// A tracker music module decoded by libopenmpt. Not thread-aware: the sound library calls it
// with the audio device locked.
class ModuleSong {
public:
    // Null when the bytes are not a module libopenmpt can play.
    static std::unique_ptr<ModuleSong> FromMemory(const uint8_t* data, size_t size);
    // Null when the file is missing, unreadable, larger than kMaxFileBytes or not a module.
    static std::unique_ptr<ModuleSong> FromFile(const char* path);
    ~ModuleSong();
    ModuleSong(const ModuleSong&) = delete;
    ModuleSong& operator=(const ModuleSong&) = delete;

    static constexpr size_t kMaxFileBytes = 64u << 20;

    // A looping song starts again at its restart position instead of ending.
    void SetLooping(bool looping);
    // Back to order 0, row 0, playing.
    void Restart();
    void Stop() { playing_ = false; }
    bool Playing() const { return playing_; }
    // Moves playback to the first row of the order at once; false for an order the song does not
    // have, which leaves the position alone.
    bool SetOrder(int order);
    int Order() const;
    int OrderCount() const;

    // What the module holds, for tools that describe it. OrderPattern is kSkipOrder for an order
    // that plays no pattern (playback passes over it), -1 past the end; a pattern the module
    // lacks has 0 rows.
    static constexpr int kSkipOrder = 254;
    int OrderPattern(int order) const;
    int PatternCount() const;
    int PatternRows(int pattern) const;
    int SampleCount() const;
    std::string SampleName(int index) const;  // index from 0
    std::string Title() const;
    int Row() const;

    // Renders up to frames stereo frames at rate into out (interleaved) and returns how many it
    // wrote; fewer means the song reached its end and is no longer playing.
    size_t Render(int rate, size_t frames, int16_t* out);

private:
    explicit ModuleSong(openmpt_module* module) : module_(module) {}

    openmpt_module* module_;
    bool playing_ = false;
};
