#include "tests/device/gl/GLTestDevice.h"

TEST_F(GLDeviceTest, ARenderTargetIsSampledWithItsTopRowAtVZero)
{
    auto target = device_->CreateRenderTarget(32, 32);
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(device_->SetRenderTarget(0, target->GetSurfaceLevel0()));
    SelectDiffuse();
    device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 255, 0, 0), 1.0f, 0);
    // Green in the target's top-left quarter.
    DrawScreenQuad(0, 0, 16, 16, 0.5f, PackColor(255, 0, 255, 0));
    EXPECT_TRUE(Near(PixelAt(2, 2), 0, 255, 0));
    EXPECT_TRUE(Near(PixelAt(20, 20), 255, 0, 0));

    std::vector<uint8_t> texels;
    ASSERT_TRUE(target->ReadLevel0(&texels));
    EXPECT_EQ(texels[0], 0);
    EXPECT_EQ(texels[1], 255);

    ASSERT_TRUE(device_->SetRenderTarget(0, device_->GetBackBuffer()));
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    device_->SetTexture(0, target.get());
    SetStage(0, TextureOp::SelectArg1, TextureArg::Texture);
    DrawFullScreen(PackColor(255, 255, 255, 255));
    EXPECT_TRUE(Near(PixelAt(5, 5), 0, 255, 0));
    EXPECT_TRUE(Near(PixelAt(58, 5), 255, 0, 0));
    EXPECT_TRUE(Near(PixelAt(5, 58), 255, 0, 0));
}

TEST_F(GLDeviceTest, CullModesFollowTheWindingOnScreenAndInTargets)
{
    // Clockwise as seen on the screen: top left, top right, bottom left.
    const ScreenColorVertex clockwise[3] = {
        {-0.5f, -0.5f, 0.5f, 1, PackColor(255, 255, 255, 255)},
        {63.5f, -0.5f, 0.5f, 1, PackColor(255, 255, 255, 255)},
        {-0.5f, 63.5f, 0.5f, 1, PackColor(255, 255, 255, 255)},
    };
    struct Case {
        uint32_t cull;
        bool drawn;
    };
    const Case cases[] = {{Cull::None, true}, {Cull::CW, false}, {Cull::CCW, true}};
    auto target = device_->CreateRenderTarget(kWidth, kHeight);
    for (RenderSurface* surface : {device_->GetBackBuffer(), target->GetSurfaceLevel0()}) {
        device_->SetRenderTarget(0, surface);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(surface->IsBackBuffer() ? "back buffer" : "target") + " cull " + std::to_string(c.cull));
            device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
            SelectDiffuse();
            device_->SetRenderState(RenderState::CullMode, c.cull);
            device_->SetFVF(ScreenColorVertex::kFvf);
            ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, clockwise, sizeof(ScreenColorVertex)));
            const int value = c.drawn ? 255 : 0;
            EXPECT_TRUE(Near(PixelAt(4, 4), value, value, value));
        }
    }
}

TEST_F(GLDeviceTest, DepthFunctionsAndDepthWritesDecideWhatShows)
{
    SelectDiffuse();
    device_->SetRenderState(RenderState::ZEnable, 1);
    device_->SetRenderState(RenderState::ZWriteEnable, 1);
    device_->SetRenderState(RenderState::ZFunc, Compare::LessEqual);
    device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 0), 1.0f, 0);
    DrawFullScreen(PackColor(255, 255, 0, 0), 0.5f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 255, 0, 0));

    // Farther: hidden.
    DrawFullScreen(PackColor(255, 0, 255, 0), 0.7f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 255, 0, 0));

    // Nearer without depth writes: shows, but leaves the depth at 0.5.
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    DrawFullScreen(PackColor(255, 0, 255, 0), 0.3f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 0, 255, 0));
    DrawFullScreen(PackColor(255, 0, 0, 255), 0.4f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 0, 0, 255));

    // Equal passes exactly on the surface laid down, and nowhere else.
    device_->SetRenderState(RenderState::ZFunc, Compare::Equal);
    DrawFullScreen(PackColor(255, 255, 255, 255), 0.5f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 255, 255, 255));
    DrawFullScreen(PackColor(255, 9, 9, 9), 0.6f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 255, 255, 255));

    // Always ignores the depth; depth testing off as well.
    device_->SetRenderState(RenderState::ZFunc, Compare::Always);
    DrawFullScreen(PackColor(255, 1, 2, 3), 0.9f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 1, 2, 3, 0));
    device_->SetRenderState(RenderState::ZFunc, Compare::Less);
    device_->SetRenderState(RenderState::ZEnable, 0);
    DrawFullScreen(PackColor(255, 4, 5, 6), 0.95f);
    EXPECT_TRUE(Near(PixelAt(8, 8), 4, 5, 6, 0));
}

TEST_F(GLDeviceTest, VolumeTextureWithMirrorOnceMirrorsNegativeCoordinatesOnce)
{
    // 4 × 4 × 4 texels whose red tells their x: 30, 90, 150, 210.
    std::vector<uint8_t> texels;
    for (int z = 0; z < 4; ++z)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) texels.insert(texels.end(), {static_cast<uint8_t>(30 + 60 * x), 0, 0, 255});
    auto volume = device_->CreateVolumeTexture(4, 4, 4, texels.data());
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->Kind(), TextureKind::Volume);
    std::vector<uint8_t> back;
    ASSERT_TRUE(volume->ReadLevel0(&back));
    EXPECT_EQ(back, texels);

    device_->SetTexture(0, volume.get());
    SetStage(0, TextureOp::SelectArg1, TextureArg::Texture);
    for (SamplerState s : {SamplerState::MagFilter, SamplerState::MinFilter}) device_->SetSamplerState(0, s, TextureFilterType::Point);
    device_->SetSamplerState(0, SamplerState::MipFilter, TextureFilterType::None);

    struct Case {
        uint32_t address;
        float u;
        int red;
    };
    const Case cases[] = {
        {TextureAddress::MirrorOnce, 0.4f, 90},   {TextureAddress::MirrorOnce, -0.1f, 30},
        {TextureAddress::MirrorOnce, -0.6f, 150}, {TextureAddress::MirrorOnce, -0.9f, 210},
        {TextureAddress::MirrorOnce, 1.5f, 210},  {TextureAddress::MirrorOnce, -1.7f, 210},
        {TextureAddress::Wrap, -0.1f, 210},
        {TextureAddress::Clamp, -0.6f, 30},
    };
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    int x = 0;
    for (const Case& c : cases) {
        for (SamplerState s : {SamplerState::AddressU, SamplerState::AddressV, SamplerState::AddressW})
            device_->SetSamplerState(0, s, c.address);
        DrawScreenQuad(static_cast<float>(x), 0, static_cast<float>(x + 1), 1, 0.5f, PackColor(255, 255, 255, 255), c.u,
                       0.5f, c.u, 0.5f);
        ++x;
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Near(PixelAt(static_cast<int>(i), 0), cases[i].red, 0, 0));
    }
}

TEST_F(GLDeviceTest, MipmappedTexturesBuildTheirWholeChain)
{
    std::vector<uint8_t> pixels(8 * 4 * 4, 255);
    auto texture = device_->CreateTexture(8, 4, pixels.data(), true);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Levels(), 4);
    EXPECT_EQ(device_->CreateTexture(0, 4, pixels.data(), true), nullptr);
    EXPECT_EQ(device_->CreateTexture(8, 4, nullptr, true), nullptr);
    EXPECT_EQ(device_->CreateRenderTarget(-4, 4), nullptr);
}
