#include "engine/device/TextureFilter.h"

#include "engine/device/GraphicsDevice.h"

namespace {

struct FilterSettings {
    uint32_t magFilter = TextureFilterType::Linear;
    uint32_t minFilter = TextureFilterType::Linear;
    uint32_t mipFilter = TextureFilterType::Point;
    uint32_t maxAnisotropy = 1;
    uint32_t samplerCount = 8;
    bool applied = false;
};

FilterSettings settings;

}  // namespace

void TextureFilter::Set(uint32_t magFilter, uint32_t minFilter, uint32_t mipFilter, uint32_t maxAnisotropy)
{
    settings.magFilter = magFilter;
    settings.minFilter = minFilter;
    settings.mipFilter = mipFilter;
    settings.maxAnisotropy = maxAnisotropy;
    settings.applied = false;
}

void TextureFilter::Apply()
{
    if (settings.applied) return;
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    settings.applied = true;
    for (uint32_t sampler = 0; sampler < settings.samplerCount; ++sampler) {
        device->SetSamplerState(sampler, SamplerState::MagFilter, settings.magFilter);
        device->SetSamplerState(sampler, SamplerState::MinFilter, settings.minFilter);
        device->SetSamplerState(sampler, SamplerState::MipFilter, settings.mipFilter);
        device->SetSamplerState(sampler, SamplerState::MaxAnisotropy, settings.maxAnisotropy);
    }
}

void TextureFilter::DeviceChanged()
{
    settings.applied = false;
}

uint32_t TextureFilter::MagFilter() { return settings.magFilter; }
uint32_t TextureFilter::MinFilter() { return settings.minFilter; }
uint32_t TextureFilter::MipFilter() { return settings.mipFilter; }
uint32_t TextureFilter::MaxAnisotropy() { return settings.maxAnisotropy; }
uint32_t TextureFilter::SamplerCount() { return settings.samplerCount; }
bool TextureFilter::Applied() { return settings.applied; }

void TextureFilter::Reset()
{
    settings = FilterSettings();
}
