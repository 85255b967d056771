#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One animated float: keys sampled at a fixed rate, played in a loop. The time counts keys (key
// index plus fraction) and stays below key count − 1, so the last key closes the loop.
class Track {
public:
    static constexpr int32_t kStep = 0;
    static constexpr int32_t kLinear = 1;
    static constexpr int32_t kCatmullRom = 2;

    // Key count := count (0 for a negative count); the new keys read 0. Time and rate stay.
    void Resize(int32_t count);
    void SetRate(int32_t keysPerSecond) { rate_ = keysPerSecond; }
    // Ignored for an index outside the keys.
    void SetKey(int32_t index, float value);

    // time := fmod(time + rate × seconds, key count − 1). A track of fewer than two keys has no
    // loop to run through and stays at time 0; a time that stops being a number restarts at 0.
    void Advance(float seconds);
    // Back to the first key.
    void Rewind() { time_ = 0.0f; }
    // The value at the current time by step, linear or Catmull-Rom interpolation; 0 for another
    // mode. With one key, that key; with none, 0.
    float Evaluate(int32_t mode) const;

    int32_t KeyCount() const { return static_cast<int32_t>(keys_.size()); }
    int32_t Rate() const { return rate_; }
    float Time() const { return time_; }
    float Key(int32_t index) const { return keys_[static_cast<size_t>(index)]; }

private:
    float KeyClamped(int64_t index) const;

    std::vector<float> keys_;
    int32_t rate_ = 0;
    float time_ = 0.0f;
};
