#include "engine/scene/Track.h"

#include <cmath>

void Track::Resize(int32_t count)
{
    keys_.assign(count > 0 ? static_cast<size_t>(count) : 0u, 0.0f);
}

void Track::SetKey(int32_t index, float value)
{
    if (index < 0 || index >= KeyCount()) return;
    keys_[static_cast<size_t>(index)] = value;
}

void Track::Advance(float seconds)
{
    if (KeyCount() < 2) {
        time_ = 0.0f;
        return;
    }
    const float next = std::fmod(time_ + static_cast<float>(rate_) * seconds, static_cast<float>(KeyCount() - 1));
    time_ = std::isfinite(next) ? next : 0.0f;
}

// A time below 0 (only a negative step gives one) reads the first key rather than before it.
float Track::KeyClamped(int64_t index) const
{
    const int64_t last = KeyCount() - 1;
    if (index < 0) index = 0;
    if (index > last) index = last;
    return keys_[static_cast<size_t>(index)];
}

float Track::Evaluate(int32_t mode) const
{
    if (keys_.empty()) return 0.0f;
    if (keys_.size() == 1) return keys_[0];
    const int64_t i = static_cast<int64_t>(std::floor(time_));
    const int64_t j = static_cast<int64_t>(std::ceil(time_));
    const float t = time_ - static_cast<float>(i);
    const float p1 = KeyClamped(i);
    const float p2 = KeyClamped(j);
    switch (mode) {
    case kStep:
        return p1;
    case kLinear:
        return p1 + (p2 - p1) * t;
    case kCatmullRom: {
        const float p0 = KeyClamped(i - 1);
        const float p3 = KeyClamped(j + 1);
        return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t * t +
                       (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * t * t * t);
    }
    default:
        return 0.0f;
    }
}
