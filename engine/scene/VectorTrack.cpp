#include "engine/scene/VectorTrack.h"

void VectorTrack::Resize(int32_t count)
{
    x.Resize(count);
    y.Resize(count);
    z.Resize(count);
    w.Resize(count);
}

void VectorTrack::SetRate(int32_t keysPerSecond)
{
    x.SetRate(keysPerSecond);
    y.SetRate(keysPerSecond);
    z.SetRate(keysPerSecond);
    w.SetRate(keysPerSecond);
}

void VectorTrack::SetKey(int32_t index, const Vec4& value)
{
    x.SetKey(index, value.x);
    y.SetKey(index, value.y);
    z.SetKey(index, value.z);
    w.SetKey(index, value.w);
}

void VectorTrack::Advance(float seconds)
{
    x.Advance(seconds);
    y.Advance(seconds);
    z.Advance(seconds);
    w.Advance(seconds);
}

void VectorTrack::Rewind()
{
    x.Rewind();
    y.Rewind();
    z.Rewind();
    w.Rewind();
}

Vec4 VectorTrack::Evaluate(int32_t mode) const
{
    return {x.Evaluate(mode), y.Evaluate(mode), z.Evaluate(mode), w.Evaluate(mode)};
}
