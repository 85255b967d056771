#include "engine/scene/Texture.h"

#include "engine/device/GraphicsDevice.h"
#include "engine/device/TextureFilter.h"
#include "engine/platform/Log.h"
#include "engine/platform/ResourceFile.h"

bool Texture::Load(const char* name)
{
    Release();
    name_ = name;
    ResourceFile file;
    if (!file.Load(name)) {
        Log::Print(1, "Cannot load texture %s", name);
        return false;
    }
    Picture picture;
    if (!DecodePicture(file.Data(), file.Size(), picture)) {
        Log::Print(1, "Cannot decode texture %s", name);
        return false;
    }
    return Create(picture);
}

bool Texture::Create(const Picture& picture)
{
    Release();
    GraphicsDevice* device = GraphicsDevice::Current();
    if (device == nullptr || picture.rgba.empty()) return false;
    deviceTexture_ = device->CreateTexture(static_cast<int>(picture.width), static_cast<int>(picture.height),
                                           picture.rgba.data(), true);
    return deviceTexture_ != nullptr;
}

void Texture::Bind(uint32_t stage, uint32_t addressU, uint32_t addressV) const
{
    GraphicsDevice* device = GraphicsDevice::Current();
    if (device == nullptr) return;
    device->SetTexture(stage, deviceTexture_.get());
    device->SetSamplerState(stage, SamplerState::AddressU, addressU == 0 ? TextureAddress::Wrap : addressU);
    device->SetSamplerState(stage, SamplerState::AddressV, addressV == 0 ? TextureAddress::Wrap : addressV);
    TextureFilter::Apply();
}
