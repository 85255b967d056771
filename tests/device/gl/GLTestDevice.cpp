#include "tests/device/gl/GLTestDevice.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>

void GLDeviceTest::SetUp()
{
    window_ = Window::Create("Harnengine", kWidth, kHeight, 0);
    ASSERT_NE(window_, nullptr) << "no window: these tests need an X display (xvfb-run) or SDL_VIDEODRIVER=offscreen";
    std::string error;
    device_ = OpenGLDevice::Create(window_->Handle(), &error);
    ASSERT_NE(device_, nullptr) << error;
    int width = 0, height = 0;
    window_->DrawableSize(&width, &height);
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::CullMode, Cull::None);
    device_->SetRenderState(RenderState::ZEnable, 0);
}

void GLDeviceTest::TearDown()
{
    device_.reset();
    window_.reset();
}

Rgba GLDeviceTest::PixelAt(int x, int y)
{
    std::vector<uint8_t> rgba;
    if (!device_->ReadPixels(x, y, 1, 1, &rgba)) {
        ADD_FAILURE() << "cannot read pixel " << x << "," << y;
        return {-1, -1, -1, -1};
    }
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

void GLDeviceTest::DrawScreenQuad(float left, float top, float right, float bottom, float z, uint32_t color, float u0,
                                  float v0, float u1, float v1)
{
    // Screen vertices put pixel centres on whole coordinates; the quad's edges lie half a pixel out
    // so that it covers whole pixels [left, right).
    const float l = left - 0.5f, t = top - 0.5f, r = right - 0.5f, b = bottom - 0.5f;
    const ScreenVertex quad[6] = {
        {l, t, z, 1, color, u0, v0}, {r, t, z, 1, color, u1, v0}, {l, b, z, 1, color, u0, v1},
        {r, t, z, 1, color, u1, v0}, {r, b, z, 1, color, u1, v1}, {l, b, z, 1, color, u0, v1},
    };
    device_->SetFVF(ScreenVertex::kFvf);
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(ScreenVertex)));
}

void GLDeviceTest::SetStage(uint32_t stage, uint32_t op, uint32_t arg1, uint32_t arg2)
{
    device_->SetTextureStageState(stage, StageState::ColorOp, op);
    device_->SetTextureStageState(stage, StageState::ColorArg1, arg1);
    device_->SetTextureStageState(stage, StageState::ColorArg2, arg2);
}

void GLDeviceTest::SetAlphaStage(uint32_t stage, uint32_t op, uint32_t arg1)
{
    device_->SetTextureStageState(stage, StageState::AlphaOp, op);
    device_->SetTextureStageState(stage, StageState::AlphaArg1, arg1);
}

MeshVertex Vertex(float x, float y, float z)
{
    MeshVertex v{};
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    return v;
}

std::unique_ptr<DeviceTexture> SolidTexture(GraphicsDevice& device, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 4 * 4; ++i) pixels.insert(pixels.end(), {r, g, b, a});
    return device.CreateTexture(4, 4, pixels.data(), true);
}

std::string WriteShader(const std::string& name, const std::string& source)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << source;
    return path;
}

::testing::AssertionResult Near(Rgba actual, int r, int g, int b, int tolerance)
{
    if (std::abs(actual.r - r) <= tolerance && std::abs(actual.g - g) <= tolerance && std::abs(actual.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << actual.r << ", " << actual.g << ", " << actual.b << ") expected ("
                                         << r << ", " << g << ", " << b << ") within " << tolerance;
}
