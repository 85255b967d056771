#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>

#include "engine/device/NullDevice.h"
#include "engine/device/OpenGLDevice.h"

namespace {

std::string WriteTempFile(const std::string& name, const std::string& text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<uint8_t> Pixels(int count, uint8_t value)
{
    return std::vector<uint8_t>(static_cast<size_t>(count) * 4, value);
}

}  // namespace

TEST(NullDevice, CountsTheMipChainAndRefusesBadSizes)
{
    NullDevice device;
    const std::vector<uint8_t> rgba = {1, 2, 3, 4, 5, 6, 7, 8};
    auto texture = device.CreateTexture(2, 1, rgba.data(), true);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Levels(), 2);
    EXPECT_EQ(device.CreateTexture(256, 64, Pixels(256 * 64, 9).data(), false)->Levels(), 1);
    auto volume = device.CreateVolumeTexture(2, 2, 2, Pixels(8, 200).data());
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->Depth(), 2);

    // Without pixels or with bad sizes nothing is made.
    EXPECT_EQ(device.CreateTexture(2, 2, nullptr, false), nullptr);
    EXPECT_EQ(device.CreateTexture(0, 2, rgba.data(), false), nullptr);
    EXPECT_EQ(device.CreateTexture(-1, -1, rgba.data(), false), nullptr);
    EXPECT_EQ(device.CreateVolumeTexture(2, 2, 0, rgba.data()), nullptr);
    EXPECT_EQ(device.CreateRenderTarget(0, 0), nullptr);
    EXPECT_EQ(device.CreateRenderTarget(1 << 20, 4), nullptr);
}

// Stages, samplers and targets out of range are ignored; an empty clear is refused.
TEST(NullDevice, RenderTargetsSelectTheirSurfaceAndDestroyedResourcesAreUnboundEverywhere)
{
    NullDevice device;
    device.SetTextureStageState(kMaxTextureStages, StageState::ColorOp, TextureOp::Lerp);
    device.SetSamplerState(100, SamplerState::MaxAnisotropy, 16);
    EXPECT_EQ(device.GetTextureStageState(kMaxTextureStages, StageState::ColorOp), 0u);
    EXPECT_EQ(device.GetSamplerState(100, SamplerState::MaxAnisotropy), 0u);
    EXPECT_FALSE(device.SetRenderTarget(1, nullptr));
    EXPECT_FALSE(device.Clear(0, 0, 1.0f, 0));
    auto target = device.CreateRenderTarget(64, 64);
    ASSERT_NE(target, nullptr);
    RenderSurface* surface = target->GetSurfaceLevel0();
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(surface->IsBackBuffer());
    EXPECT_TRUE(device.SetRenderTarget(0, surface));
    EXPECT_TRUE(device.Clear(ClearFlags::Target, PackColor(255, 1, 2, 3), 2.0f, 0));
    ASSERT_EQ(device.Clears().size(), 1u);
    EXPECT_EQ(std::tuple(device.Clears()[0].color, device.Clears()[0].z, device.Clears()[0].renderTarget),
              std::tuple(0xff010203u, 1.0f, surface));
    EXPECT_TRUE(device.SetRenderTarget(0, nullptr));
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());

    auto texture = device.CreateTexture(1, 1, Pixels(1, 255).data(), false);
    device.SetTexture(0, texture.get());
    device.SetTexture(3, target.get());
    device.SetRenderTarget(0, surface);

    texture.reset();
    target.reset();
    EXPECT_EQ(device.GetTexture(0), nullptr);
    EXPECT_EQ(device.GetTexture(3), nullptr);
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());
}

TEST(NullDevice, ResourcesOutlivingTheDeviceAreSafeAndTheCurrentDeviceClearsWhenItGoes)
{
    std::unique_ptr<DeviceTexture> texture;
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    {
        NullDevice device;
        texture = device.CreateTexture(1, 1, Pixels(1, 7).data(), false);
        EXPECT_EQ(texture->Device(), &device);
        ScopedCurrentDevice scope(&device);
        EXPECT_EQ(GraphicsDevice::Current(), &device);
    }
    EXPECT_EQ(texture->Device(), nullptr);
    texture.reset();
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    auto device = std::make_unique<NullDevice>();
    GraphicsDevice::SetCurrent(device.get());
    device.reset();
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
}

TEST(NullDevice, IndexedDrawsNeedBuffersAndStayInsideTheIndices)
{
    NullDevice device;
    const MeshVertex vertices[3] = {};
    const uint16_t indices16[6] = {0, 1, 2, 2, 1, 0};
    auto vb = device.CreateVertexBuffer(vertices, 3);
    auto ib = device.CreateIndexBuffer(indices16, 6);
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(ib, nullptr);
    EXPECT_EQ(ib->Format(), IndexFormat::Index16);

    EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 1));
    device.SetStreamSource(vb.get());
    device.SetIndices(ib.get());
    EXPECT_TRUE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 2));
    EXPECT_TRUE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 3, 1));
    EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 3, 2));
    EXPECT_FALSE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0xffffffffu, 1));
    EXPECT_EQ(device.Draws().size(), 2u);

    const uint32_t indices32[3] = {0, 70000, 2};
    auto wide = device.CreateIndexBuffer(indices32, 3);
    EXPECT_EQ(wide->Format(), IndexFormat::Index32);
    EXPECT_EQ(device.CreateVertexBuffer(nullptr, 3), nullptr);
    EXPECT_EQ(device.CreateIndexBuffer(indices32, 0), nullptr);
}

TEST(NullDevice, ShadersListTheConstantsTheirSourceDeclaresAndAMissingSourceGivesNullAndAMessage)
{
    NullDevice device;
    const std::string path = WriteTempFile("null_vs.vsh", "uniform mat4 worldViewProj;\nuniform float radius;\n");
    auto shader = device.CreateVertexShader(path.c_str());
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->Stage(), ShaderStage::Vertex);
    EXPECT_EQ(shader->Constants().Constants().size(), 2u);

    // Binding a vertex shader as the pixel shader leaves the pixel stage off.
    device.SetPixelShader(shader.get());
    EXPECT_EQ(device.GetPixelShader(), nullptr);
    device.SetVertexShader(shader.get());
    EXPECT_EQ(device.GetVertexShader(), shader.get());
    shader.reset();
    EXPECT_EQ(device.GetVertexShader(), nullptr);

    std::string messages;
    EXPECT_EQ(device.CreatePixelShader("/nonexistent/alphapixelshader.psh", &messages), nullptr);
    EXPECT_NE(messages.find("alphapixelshader.psh"), std::string::npos);
    EXPECT_EQ(device.CreateVertexShader(nullptr), nullptr);
}

TEST(OpenGLDeviceWithoutAWindow, IsNotCreatedAndSaysWhy)
{
    std::string error;
    EXPECT_EQ(OpenGLDevice::Create(nullptr, &error), nullptr);
    EXPECT_FALSE(error.empty());
}
