#pragma once

#include "engine/render/Shader.h"

// A shader of the pixel stage; binding none (SetPixelShader(nullptr)) returns the stage to the
// texture stages.
class PixelShader : public Shader {
public:
    ~PixelShader() override = default;

protected:
    PixelShader() : Shader(ShaderStage::Pixel) {}
};
