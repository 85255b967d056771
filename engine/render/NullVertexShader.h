#pragma once

#include "engine/render/VertexShader.h"

// Transforms mesh vertices to the screen and colours them with one colour: the ambient, texture
// and glow passes.
class NullVertexShader final : public VertexShader {
public:
    static constexpr const char* kSourceFile = "nullvertexshader.vsh";

    bool Init();
    void SetWorldViewProj(const Matrix& worldViewProj) const;
    void SetDiffuseColor(const Vec4& color) const;

private:
    ConstantHandle worldViewProj_ = kNullConstant;
    ConstantHandle diffuseColor_ = kNullConstant;
};
