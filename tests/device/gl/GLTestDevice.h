#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/OpenGLDevice.h"
#include "engine/platform/Window.h"

struct Rgba {
    int r, g, b, a;
};

// A real window with the OpenGL device on it, for tests that draw and read pixels back.
class GLDeviceTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

    void SetUp() override;
    void TearDown() override;

    // The pixel at (x, y) of the current target, (0, 0) top left.
    Rgba PixelAt(int x, int y);

    // Two triangles covering the screen rectangle [left, right) × [top, bottom) at depth z, with
    // texture coordinates 0..1 across it (or the given ones).
    void DrawScreenQuad(float left, float top, float right, float bottom, float z, uint32_t color, float u0 = 0,
                        float v0 = 0, float u1 = 1, float v1 = 1);
    void DrawFullScreen(uint32_t color, float z = 0.5f) { DrawScreenQuad(0, 0, kWidth, kHeight, z, color); }

    // Stage colour and alpha operations with their arguments (the defaults are the device's own).
    void SetStage(uint32_t stage, uint32_t op, uint32_t arg1 = TextureArg::Texture, uint32_t arg2 = TextureArg::Current);
    void SetAlphaStage(uint32_t stage, uint32_t op, uint32_t arg1 = TextureArg::Texture);
    // Stage 0 passes the vertex colour and alpha straight through.
    void SelectDiffuse()
    {
        SetStage(0, TextureOp::SelectArg1, TextureArg::Diffuse);
        SetAlphaStage(0, TextureOp::SelectArg1, TextureArg::Diffuse);
    }

    std::unique_ptr<Window> window_;
    std::unique_ptr<OpenGLDevice> device_;
};

// A mesh vertex at (x, y, z) with nothing else set.
MeshVertex Vertex(float x, float y, float z);
// A 4 × 4 mipmapped texture of one colour (r, g, b, a bytes).
std::unique_ptr<DeviceTexture> SolidTexture(GraphicsDevice& device, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
// A shader file written for the test; returns its path.
std::string WriteShader(const std::string& name, const std::string& source);

// |a − b| ≤ tolerance for every channel.
::testing::AssertionResult Near(Rgba actual, int r, int g, int b, int tolerance = 2);
