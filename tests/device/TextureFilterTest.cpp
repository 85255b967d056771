#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "engine/device/NullDevice.h"
#include "engine/device/TextureFilter.h"

class TextureFilterTest : public ::testing::Test {
protected:
    void SetUp() override { TextureFilter::Reset(); }
    void TearDown() override { TextureFilter::Reset(); }
};

namespace {

// Magnification, minification, mip filter and anisotropy of one sampler.
using SamplerFilters = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

SamplerFilters FiltersOf(const GraphicsDevice& device, uint32_t sampler)
{
    return {device.GetSamplerState(sampler, SamplerState::MagFilter), device.GetSamplerState(sampler, SamplerState::MinFilter),
            device.GetSamplerState(sampler, SamplerState::MipFilter), device.GetSamplerState(sampler, SamplerState::MaxAnisotropy)};
}

}  // namespace

TEST_F(TextureFilterTest, ApplyWritesEverySamplerOnceUntilTheNextSet)
{
    NullDevice device;
    ScopedCurrentDevice current(&device);
    TextureFilter::Set(2, 2, 2, 1);
    TextureFilter::Apply();
    EXPECT_TRUE(TextureFilter::Applied());
    for (uint32_t sampler = 0; sampler < 8; ++sampler) {
        EXPECT_EQ(FiltersOf(device, sampler), SamplerFilters(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Linear, 1));
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
    EXPECT_EQ(FiltersOf(*first, 7), SamplerFilters(TextureFilterType::Linear, TextureFilterType::Linear, TextureFilterType::Point, 1));
    first.reset();  // the display released: its device and samplers are gone
    NullDevice second;
    ScopedCurrentDevice current(&second);
    TextureFilter::Apply();
    EXPECT_EQ(second.GetSamplerState(5, SamplerState::MinFilter), TextureFilterType::Linear);
}
