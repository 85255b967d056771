#pragma once

#include "engine/render/PixelShader.h"

// Draws a glowing textured material into the glow target: the colour texture, weighted by its
// alpha, times the material's diffuse colour. Feeds no constants.
class AlphaPixelShader final : public PixelShader {
public:
    static constexpr const char* kSourceFile = "alphapixelshader.psh";

    bool Init();
};
