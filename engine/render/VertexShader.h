#pragma once

#include "engine/render/Shader.h"

// A shader of the vertex stage.
class VertexShader : public Shader {
public:
    ~VertexShader() override = default;

protected:
    VertexShader() : Shader(ShaderStage::Vertex) {}
};
