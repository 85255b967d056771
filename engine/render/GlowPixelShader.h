#pragma once

#include "engine/render/PixelShader.h"

// One direction of the glow's separable Gaussian blur of the texture on stage 0, tinted by
// "glowColor".
class GlowPixelShader final : public PixelShader {
public:
    static constexpr const char* kSourceFile = "glowpixelshader.psh";

    bool Init();
    void SetGlowColor(const Vec4& color) const;

private:
    ConstantHandle glowColor_ = kNullConstant;
};
