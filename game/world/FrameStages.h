#pragma once

#include "engine/scene/Vec4.h"

// The stages of a frame that lie below the scene tree: reading input before the passes, drawing
// the submissions after them and presenting the picture. The platform and renderer fill them;
// without any, a world steps its tree alone (tools and tests).
class FrameStages {
public:
    virtual ~FrameStages() = default;
    virtual void UpdateInput() = 0;
    virtual void Render(const Vec4& fadeColour, float fade) = 0;
    virtual void Present() = 0;
};
