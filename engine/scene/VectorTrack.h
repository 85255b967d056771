#pragma once

#include <cstdint>

#include "engine/math/Vec4.h"
#include "engine/scene/Track.h"

// Four tracks for x, y, z and w, always resized, advanced and evaluated together.
class VectorTrack {
public:
    void Resize(int32_t count);
    void SetRate(int32_t keysPerSecond);
    void SetKey(int32_t index, const Vec4& value);
    void Advance(float seconds);
    void Rewind();
    Vec4 Evaluate(int32_t mode) const;

    int32_t KeyCount() const { return x.KeyCount(); }
    Vec4 Key(int32_t index) const { return {x.Key(index), y.Key(index), z.Key(index), w.Key(index)}; }

    Track x;
    Track y;
    Track z;
    Track w;
};
