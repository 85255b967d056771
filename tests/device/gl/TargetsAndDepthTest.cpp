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
    struct Case { uint32_t cull; bool drawn; };
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
    // Drawn one after another over the whole target, whose depth starts at 1.
    const struct {
        const char* name;
        uint32_t zEnable, zWrite, zFunc;
        float z;
        int r, g, b;  // the colour drawn, and what must show after
        int shownR, shownG, shownB;
    } draws[] = {
        {"nearer than the clear", 1, 1, Compare::LessEqual, 0.5f, 255, 0, 0, 255, 0, 0},
        {"farther: hidden", 1, 1, Compare::LessEqual, 0.7f, 0, 255, 0, 255, 0, 0},
        {"nearer without depth writes shows", 1, 0, Compare::LessEqual, 0.3f, 0, 255, 0, 0, 255, 0},
        {"and left the depth at 0.5", 1, 0, Compare::LessEqual, 0.4f, 0, 0, 255, 0, 0, 255},
        {"equal passes on the surface laid down", 1, 0, Compare::Equal, 0.5f, 255, 255, 255, 255, 255, 255},
        {"and nowhere else", 1, 0, Compare::Equal, 0.6f, 9, 9, 9, 255, 255, 255},
        {"always ignores the depth", 1, 0, Compare::Always, 0.9f, 1, 2, 3, 1, 2, 3},
        {"as does depth testing off", 0, 0, Compare::Less, 0.95f, 4, 5, 6, 4, 5, 6},
    };
    SelectDiffuse();
    device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 0), 1.0f, 0);
    for (const auto& d : draws) {
        SCOPED_TRACE(d.name);
        device_->SetRenderState(RenderState::ZEnable, d.zEnable);
        device_->SetRenderState(RenderState::ZWriteEnable, d.zWrite);
        device_->SetRenderState(RenderState::ZFunc, d.zFunc);
        DrawFullScreen(PackColor(255, static_cast<uint8_t>(d.r), static_cast<uint8_t>(d.g), static_cast<uint8_t>(d.b)), d.z);
        EXPECT_TRUE(Near(PixelAt(8, 8), d.shownR, d.shownG, d.shownB, 0));
    }
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

    struct Case { uint32_t address; float u; int red; };
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
