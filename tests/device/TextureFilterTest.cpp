#include <gtest/gtest.h>

#include <memory>

#include "engine/device/NullDevice.h"
#include "engine/device/TextureFilter.h"

class TextureFilterTest : public ::testing::Test {
protected:
    void SetUp() override { TextureFilter::Reset(); }
    void TearDown() override { TextureFilter::Reset(); }
};

TEST_F(TextureFilterTest, ApplyWritesEverySamplerOnceUntilTheNextSet)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    TextureFilter::Set(2, 2, 2, 1);
    TextureFilter::Apply();
    EXPECT_TRUE(TextureFilter::Applied());
    for (uint32_t sampler = 0; sampler < 8; ++sampler) {
        EXPECT_EQ(device.GetSamplerState(sampler, SamplerState::MagFilter), TextureFilterType::Linear);
        EXPECT_EQ(device.GetSamplerState(sampler, SamplerState::MinFilter), TextureFilterType::Linear);
        EXPECT_EQ(device.GetSamplerState(sampler, SamplerState::MipFilter), TextureFilterType::Linear);
        EXPECT_EQ(device.GetSamplerState(sampler, SamplerState::MaxAnisotropy), 1u);
    }

    // Applied: a second Apply leaves a sampler changed since alone.
    device.SetSamplerState(0, SamplerState::MagFilter, TextureFilterType::Point);
    TextureFilter::Apply();
    EXPECT_EQ(device.GetSamplerState(0, SamplerState::MagFilter), TextureFilterType::Point);

    // Set clears the flag: the next Apply writes again.
    TextureFilter::Set(3, 3, 2, 8);
    EXPECT_FALSE(TextureFilter::Applied());
    TextureFilter::Apply();
    EXPECT_EQ(device.GetSamplerState(0, SamplerState::MagFilter), TextureFilterType::Anisotropic);
    EXPECT_EQ(device.GetSamplerState(7, SamplerState::MaxAnisotropy), 8u);
}

TEST_F(TextureFilterTest, TheDefaultsStayPendingWithoutADeviceAndEachNewCurrentDeviceReceivesThem)
{
    ASSERT_EQ(GraphicsDevice::Current(), nullptr);
    TextureFilter::Apply();
    EXPECT_FALSE(TextureFilter::Applied());
    auto first = std::make_unique<NullDevice>();
    GraphicsDevice::SetCurrent(first.get());
    TextureFilter::Apply();
    EXPECT_TRUE(TextureFilter::Applied());
    // Linear magnification and minification with point mips, in all eight samplers.
    EXPECT_EQ(first->GetSamplerState(7, SamplerState::MagFilter), TextureFilterType::Linear);
    EXPECT_EQ(first->GetSamplerState(7, SamplerState::MinFilter), TextureFilterType::Linear);
    EXPECT_EQ(first->GetSamplerState(7, SamplerState::MipFilter), TextureFilterType::Point);
    EXPECT_EQ(first->GetSamplerState(7, SamplerState::MaxAnisotropy), 1u);
    first.reset();  // the display released: its device and samplers are gone
    NullDevice second;
    ScopedCurrentDevice current(&second);
    TextureFilter::Apply();
    EXPECT_EQ(second.GetSamplerState(5, SamplerState::MinFilter), TextureFilterType::Linear);
}
