#pragma once

#include <cstdint>

#include "engine/render/VertexShader.h"

// Places the screen quad of a blur pass and hands the blur's centre and step to GlowPixelShader.
class GlowVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "glowvertexshader.vsh";

    bool Init();
    // The blur's width: the standard deviation of its Gaussian, in texture coordinates.
    void SetBlur(float blur) const;
    // True blurs along x, false along y.
    void SetHorizontal(bool horizontal) const;
    // Half a texel of a target of that size: (0.5 / width, 0.5 / height, 0, 1).
    void SetTexelOffset(int32_t width, int32_t height) const;

private:
    ConstantHandle blur_ = kNullConstant;
    ConstantHandle hdir_ = kNullConstant;
    ConstantHandle offset_ = kNullConstant;
};
