#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/render/NullDevice.h"
#include "engine/render/OpenGLDevice.h"

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

TEST(NullDevice, StartsWithTheDirect3DDefaultStates)
{
    NullDevice device;
    EXPECT_EQ(device.GetRenderState(RenderState::ZEnable), 1u);
    EXPECT_EQ(device.GetRenderState(RenderState::ZWriteEnable), 1u);
    EXPECT_EQ(device.GetRenderState(RenderState::ZFunc), Compare::LessEqual);
    EXPECT_EQ(device.GetRenderState(RenderState::CullMode), Cull::CCW);
    EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(device.GetRenderState(RenderState::TextureFactor), 0xffffffffu);
    EXPECT_EQ(device.GetTextureStageState(0, StageState::ColorOp), TextureOp::Modulate);
    EXPECT_EQ(device.GetTextureStageState(1, StageState::ColorOp), TextureOp::Disable);
    EXPECT_EQ(device.GetTextureStageState(3, StageState::TexCoordIndex), 3u);
    EXPECT_EQ(device.GetSamplerState(7, SamplerState::AddressU), TextureAddress::Wrap);
    EXPECT_EQ(device.GetSamplerState(0, SamplerState::MagFilter), TextureFilterType::Point);
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());
}

TEST(NullDevice, KeepsEveryStateCallersSetForReadingBack)
{
    NullDevice device;
    device.SetRenderState(RenderState::CullMode, Cull::CW);
    device.SetRenderState(RenderState::AlphaRef, 128);
    device.SetTextureStageState(2, StageState::ColorOp, TextureOp::DotProduct3);
    device.SetTextureStageState(0, StageState::ColorArg0, TextureArg::Texture | TextureArg::AlphaReplicate);
    device.SetSamplerState(1, SamplerState::AddressW, TextureAddress::MirrorOnce);
    Matrix world = Matrix::Translation(1, 2, 3);
    device.SetTransform(TransformType::World, world);

    EXPECT_EQ(device.GetRenderState(RenderState::CullMode), Cull::CW);
    EXPECT_EQ(device.GetRenderState(RenderState::AlphaRef), 128u);
    EXPECT_EQ(device.GetTextureStageState(2, StageState::ColorOp), TextureOp::DotProduct3);
    EXPECT_EQ(device.GetTextureStageState(0, StageState::ColorArg0), 0x22u);
    EXPECT_EQ(device.GetSamplerState(1, SamplerState::AddressW), TextureAddress::MirrorOnce);
    EXPECT_EQ(device.GetTransform(TransformType::World)(3, 2), 3.0f);
    EXPECT_EQ(device.GetTransform(TransformType::View)(3, 2), 0.0f);
}

TEST(NullDevice, IgnoresStagesAndSamplersOutOfRange)
{
    NullDevice device;
    device.SetTextureStageState(kMaxTextureStages, StageState::ColorOp, TextureOp::Lerp);
    device.SetSamplerState(100, SamplerState::MaxAnisotropy, 16);
    EXPECT_EQ(device.GetTextureStageState(kMaxTextureStages, StageState::ColorOp), 0u);
    EXPECT_EQ(device.GetSamplerState(100, SamplerState::MaxAnisotropy), 0u);
    EXPECT_FALSE(device.SetRenderTarget(1, nullptr));
}

TEST(NullDevice, KeepsTexturePixelsAndCountsTheMipChain)
{
    NullDevice device;
    const std::vector<uint8_t> rgba = {1, 2, 3, 4, 5, 6, 7, 8};
    auto texture = device.CreateTexture(2, 1, rgba.data(), true);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Kind(), TextureKind::Texture2D);
    EXPECT_EQ(texture->Levels(), 2);
    std::vector<uint8_t> back;
    ASSERT_TRUE(texture->ReadLevel0(&back));
    EXPECT_EQ(back, rgba);
    EXPECT_EQ(texture->GetSurfaceLevel0(), nullptr);

    auto plain = device.CreateTexture(256, 64, Pixels(256 * 64, 9).data(), false);
    EXPECT_EQ(plain->Levels(), 1);
    auto chain = device.CreateTexture(256, 64, Pixels(256 * 64, 9).data(), true);
    EXPECT_EQ(chain->Levels(), 9);
}

TEST(NullDevice, RefusesTexturesWithoutPixelsOrWithBadSizes)
{
    NullDevice device;
    const std::vector<uint8_t> rgba = Pixels(4, 0);
    EXPECT_EQ(device.CreateTexture(2, 2, nullptr, false), nullptr);
    EXPECT_EQ(device.CreateTexture(0, 2, rgba.data(), false), nullptr);
    EXPECT_EQ(device.CreateTexture(-1, -1, rgba.data(), false), nullptr);
    EXPECT_EQ(device.CreateVolumeTexture(2, 2, 0, rgba.data()), nullptr);
    EXPECT_EQ(device.CreateRenderTarget(0, 0), nullptr);
    EXPECT_EQ(device.CreateRenderTarget(1 << 20, 4), nullptr);
}

TEST(NullDevice, RenderTargetsSelectTheirSurfaceAndNullSelectsTheBackBuffer)
{
    NullDevice device;
    auto target = device.CreateRenderTarget(256, 128);
    ASSERT_NE(target, nullptr);
    RenderSurface* surface = target->GetSurfaceLevel0();
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(surface->IsBackBuffer());
    EXPECT_EQ(surface->Width(), 256);

    EXPECT_TRUE(device.SetRenderTarget(0, surface));
    EXPECT_EQ(device.GetRenderTarget(0), surface);
    EXPECT_TRUE(device.SetRenderTarget(0, device.GetBackBuffer()));
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());
    EXPECT_TRUE(device.GetBackBuffer()->IsBackBuffer());
}

TEST(NullDevice, DestroyedResourcesAreUnboundEverywhere)
{
    NullDevice device;
    auto target = device.CreateRenderTarget(64, 64);
    auto texture = device.CreateTexture(1, 1, Pixels(1, 255).data(), false);
    device.SetTexture(0, texture.get());
    device.SetTexture(3, target.get());
    device.SetRenderTarget(0, target->GetSurfaceLevel0());

    texture.reset();
    target.reset();
    EXPECT_EQ(device.GetTexture(0), nullptr);
    EXPECT_EQ(device.GetTexture(3), nullptr);
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());
}

TEST(NullDevice, ResourcesOutlivingTheDeviceAreSafeToDestroy)
{
    std::unique_ptr<DeviceTexture> texture;
    {
        NullDevice device;
        texture = device.CreateTexture(1, 1, Pixels(1, 7).data(), false);
        EXPECT_EQ(texture->Device(), &device);
    }
    EXPECT_EQ(texture->Device(), nullptr);
    texture.reset();
}

TEST(NullDevice, CurrentDeviceIsTheOneMadeCurrentAndClearsWhenItGoes)
{
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    {
        NullDevice device;
        ScopedCurrentDevice scope(&device);
        EXPECT_EQ(GraphicsDevice::Current(), &device);
    }
    EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    {
        auto device = std::make_unique<NullDevice>();
        GraphicsDevice::SetCurrent(device.get());
        device.reset();
        EXPECT_EQ(GraphicsDevice::Current(), nullptr);
    }
}

TEST(NullDevice, ScenesNeitherNestNorEndTwice)
{
    NullDevice device;
    EXPECT_FALSE(device.EndScene());
    EXPECT_TRUE(device.BeginScene());
    EXPECT_FALSE(device.BeginScene());
    EXPECT_TRUE(device.EndScene());
    EXPECT_FALSE(device.EndScene());
    EXPECT_TRUE(device.Present());
    EXPECT_EQ(device.PresentCount(), 1);
}

TEST(NullDevice, LogsClearsWithTheirTarget)
{
    NullDevice device;
    EXPECT_FALSE(device.Clear(0, 0, 1.0f, 0));
    EXPECT_TRUE(device.Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 1, 2, 3), 2.0f, 0));
    ASSERT_EQ(device.Clears().size(), 1u);
    EXPECT_EQ(device.Clears()[0].color, 0xff010203u);
    EXPECT_EQ(device.Clears()[0].z, 1.0f);
    EXPECT_EQ(device.Clears()[0].renderTarget, device.GetBackBuffer());
}

TEST(NullDevice, DrawPrimitiveUPAcceptsOnlyTheRendererFormatsWithTheirStrides)
{
    struct Case {
        uint32_t fvf;
        uint32_t stride;
        bool accepted;
    };
    const Case cases[] = {
        {QuadVertex::kFvf, 20, true},
        {ParticleVertex::kFvf, 32, true},
        {ScreenVertex::kFvf, 28, true},
        {ScreenColorVertex::kFvf, 20, true},
        {ScreenVertex::kFvf, 20, false},
        {Fvf::XYZ, 12, false},
        {0, 20, false},
    };
    const std::vector<uint8_t> vertices(6 * 32, 0);
    for (const Case& c : cases) {
        NullDevice device;
        device.SetFVF(c.fvf);
        EXPECT_EQ(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, vertices.data(), c.stride), c.accepted)
            << "fvf " << c.fvf << " stride " << c.stride;
        EXPECT_EQ(device.Draws().size(), c.accepted ? 1u : 0u);
    }
    NullDevice device;
    device.SetFVF(QuadVertex::kFvf);
    EXPECT_FALSE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, nullptr, 20));
    EXPECT_FALSE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 0, vertices.data(), 20));
}

TEST(NullDevice, LogsDrawsWithTheStateTheyWereMadeIn)
{
    NullDevice device;
    auto texture = device.CreateTexture(1, 1, Pixels(1, 1).data(), false);
    device.SetTexture(0, texture.get());
    device.SetRenderState(RenderState::AlphaBlendEnable, 1);
    device.SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
    device.SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
    device.SetFVF(ScreenColorVertex::kFvf);
    ScreenColorVertex quad[6] = {};
    quad[5].color = PackColor(1, 2, 3, 4);
    ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(ScreenColorVertex)));

    ASSERT_EQ(device.Draws().size(), 1u);
    const NullDrawCall& draw = device.Draws()[0];
    EXPECT_EQ(draw.primitiveCount, 2u);
    EXPECT_EQ(draw.texture0, texture.get());
    EXPECT_TRUE(draw.blending);
    EXPECT_EQ(draw.srcBlend, Blend::SrcAlpha);
    EXPECT_EQ(draw.destBlend, Blend::InvSrcAlpha);
    ASSERT_EQ(draw.vertexBytes.size(), 6 * sizeof(ScreenColorVertex));
    ScreenColorVertex last;
    std::memcpy(&last, draw.vertexBytes.data() + 5 * sizeof(ScreenColorVertex), sizeof last);
    EXPECT_EQ(last.color, 0x01020304u);
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

    std::vector<uint32_t> back;
    ASSERT_TRUE(ib->Read(&back));
    EXPECT_EQ(back, (std::vector<uint32_t>{0, 1, 2, 2, 1, 0}));

    const uint32_t indices32[3] = {0, 70000, 2};
    auto wide = device.CreateIndexBuffer(indices32, 3);
    EXPECT_EQ(wide->Format(), IndexFormat::Index32);
    EXPECT_EQ(device.CreateVertexBuffer(nullptr, 3), nullptr);
    EXPECT_EQ(device.CreateIndexBuffer(indices32, 0), nullptr);
}

TEST(NullDevice, ShadersListTheConstantsTheirSourceDeclares)
{
    NullDevice device;
    const std::string path = WriteTempFile("null_vs.vsh",
                                           "uniform mat4 worldViewProj;\n"
                                           "// uniform vec4 commentedOut;\n"
                                           "uniform vec4 diffuseColor, lightPosition;\n"
                                           "uniform float radius;\n"
                                           "void main() { oPos = inPosition * worldViewProj; }\n");
    auto shader = device.CreateVertexShader(path.c_str());
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->Stage(), ShaderStage::Vertex);
    EXPECT_NE(shader->GetConstantByName("worldViewProj"), kNullConstant);
    EXPECT_NE(shader->GetConstantByName("lightPosition"), kNullConstant);
    EXPECT_EQ(shader->GetConstantByName("commentedOut"), kNullConstant);
    EXPECT_EQ(shader->GetConstantByName("absent"), kNullConstant);

    const ConstantHandle radius = shader->GetConstantByName("radius");
    shader->SetFloat(radius, 0.0125f);
    EXPECT_FLOAT_EQ(shader->Constants().Find(radius)->value[0], 0.0125f);

    // Binding a vertex shader as the pixel shader leaves the pixel stage off.
    device.SetPixelShader(shader.get());
    EXPECT_EQ(device.GetPixelShader(), nullptr);
    device.SetVertexShader(shader.get());
    EXPECT_EQ(device.GetVertexShader(), shader.get());
    shader.reset();
    EXPECT_EQ(device.GetVertexShader(), nullptr);
}

TEST(NullDevice, AMissingShaderSourceGivesNullAndAMessage)
{
    NullDevice device;
    std::string messages;
    EXPECT_EQ(device.CreatePixelShader("/nonexistent/alphapixelshader.psh", &messages), nullptr);
    EXPECT_NE(messages.find("alphapixelshader.psh"), std::string::npos);
    EXPECT_EQ(device.CreateVertexShader(nullptr), nullptr);
}

// A frame as the renderer makes it: targets, scenes, the four vertex formats, meshes, present.
TEST(NullDevice, RunsAWholeFrameSequenceWithoutADisplay)
{
    NullDevice device(1024, 768);
    ScopedCurrentDevice current(&device);
    auto glowTarget = device.CreateRenderTarget(512, 256);
    const std::vector<uint8_t> texels(16 * 16 * 16 * 4, 200);
    auto attenuation = device.CreateVolumeTexture(16, 16, 16, texels.data());
    ASSERT_NE(attenuation, nullptr);
    EXPECT_EQ(attenuation->Depth(), 16);
    const MeshVertex vertices[3] = {};
    const uint16_t indices[3] = {0, 1, 2};
    auto vb = device.CreateVertexBuffer(vertices, 3);
    auto ib = device.CreateIndexBuffer(indices, 3);

    device.Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 0), 1.0f, 0);
    ASSERT_TRUE(device.BeginScene());
    device.SetStreamSource(vb.get());
    device.SetIndices(ib.get());
    device.SetTransform(TransformType::World, Matrix::Translation(5, 0, 0));
    ASSERT_TRUE(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 1));
    device.SetTexture(1, attenuation.get());
    device.SetRenderTarget(0, glowTarget->GetSurfaceLevel0());
    device.Clear(ClearFlags::Target | ClearFlags::ZBuffer, 0xff000000u, 1.0f, 0);
    const QuadVertex quad[6] = {};
    device.SetFVF(QuadVertex::kFvf);
    ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(QuadVertex)));
    device.SetRenderTarget(0, device.GetBackBuffer());
    const ParticleVertex particles[6] = {};
    device.SetFVF(ParticleVertex::kFvf);
    ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, particles, sizeof(ParticleVertex)));
    const ScreenVertex sprite[6] = {};
    device.SetFVF(ScreenVertex::kFvf);
    ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, sprite, sizeof(ScreenVertex)));
    const ScreenColorVertex fade[6] = {};
    device.SetFVF(ScreenColorVertex::kFvf);
    ASSERT_TRUE(device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, fade, sizeof(ScreenColorVertex)));
    ASSERT_TRUE(device.EndScene());
    ASSERT_TRUE(device.Present());

    ASSERT_EQ(device.Draws().size(), 5u);
    EXPECT_TRUE(device.Draws()[0].indexed);
    EXPECT_EQ(device.Draws()[0].world(3, 0), 5.0f);
    EXPECT_EQ(device.Draws()[1].renderTarget, glowTarget->GetSurfaceLevel0());
    EXPECT_EQ(device.Draws()[2].renderTarget, device.GetBackBuffer());
    EXPECT_EQ(device.Draws()[4].fvf, ScreenColorVertex::kFvf);
    ASSERT_EQ(device.Clears().size(), 2u);
    EXPECT_EQ(device.Clears()[1].renderTarget, glowTarget->GetSurfaceLevel0());
    EXPECT_EQ(device.GetBackBuffer()->Width(), 1024);
    EXPECT_EQ(device.PresentCount(), 1);
}

TEST(OpenGLDeviceWithoutAWindow, IsNotCreatedAndSaysWhy)
{
    std::string error;
    EXPECT_EQ(OpenGLDevice::Create(nullptr, &error), nullptr);
    EXPECT_FALSE(error.empty());
}
