#include "tests/device/gl/GLTestDevice.h"

TEST_F(GLDeviceTest, MipmappedTexturesBuildTheirWholeChainAndBadSizesOrRectanglesAreRefused)
{
    std::vector<uint8_t> pixels(8 * 4 * 4, 255);
    auto texture = device_->CreateTexture(8, 4, pixels.data(), true);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Levels(), 4);
    EXPECT_EQ(device_->CreateTexture(0, 4, pixels.data(), true), nullptr);
    EXPECT_EQ(device_->CreateTexture(8, 4, nullptr, true), nullptr);
    EXPECT_EQ(device_->CreateRenderTarget(-4, 4), nullptr);
    std::vector<uint8_t> rgba;
    EXPECT_FALSE(device_->ReadPixels(-1, 0, 1, 1, &rgba));
    EXPECT_FALSE(device_->ReadPixels(0, 0, kWidth + 1, 1, &rgba));
    EXPECT_FALSE(device_->ReadPixels(0, kHeight, 1, 1, &rgba));
    EXPECT_FALSE(device_->ReadPixels(0, 0, 0, 1, &rgba));
    EXPECT_TRUE(device_->ReadPixels(0, 0, kWidth, kHeight, &rgba));
    EXPECT_EQ(rgba.size(), static_cast<size_t>(kWidth * kHeight * 4));
}

TEST_F(GLDeviceTest, ClearFillsWithTheUnpackedColourAndScreenVerticesPutRowZeroAtTheTopCoveringWholePixels)
{
    ASSERT_TRUE(device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 10, 128, 250), 1.0f, 0));
    EXPECT_TRUE(Near(PixelAt(0, 0), 10, 128, 250, 0));
    EXPECT_TRUE(Near(PixelAt(kWidth - 1, kHeight - 1), 10, 128, 250, 0));
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    SetStage(0, TextureOp::SelectArg2, TextureArg::Texture, TextureArg::Diffuse);
    // A 2 × 2 quad at the top-left corner and one 3 pixels wide along the bottom row.
    DrawScreenQuad(0, 0, 2, 2, 0.5f, PackColor(255, 255, 0, 0));
    DrawScreenQuad(10, kHeight - 1, 13, kHeight, 0.5f, PackColor(255, 0, 255, 0));

    const struct { int x, y, r, g; } pixels[] = {{0, 0, 255, 0},           {1, 1, 255, 0},           {2, 1, 0, 0},
                                                  {1, 2, 0, 0},           {10, kHeight - 1, 0, 255}, {12, kHeight - 1, 0, 255},
                                                  {13, kHeight - 1, 0, 0}, {10, kHeight - 2, 0, 0}};
    for (const auto& p : pixels) EXPECT_TRUE(Near(PixelAt(p.x, p.y), p.r, p.g, 0, 0)) << p.x << ", " << p.y;
}
