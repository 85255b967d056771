#include "engine/device/GraphicsDevice.h"

#include <algorithm>

#include "engine/device/TextureFilter.h"

namespace {

GraphicsDevice* currentDevice = nullptr;

constexpr uint32_t Index(RenderState state) { return static_cast<uint32_t>(state); }
constexpr uint32_t Index(StageState state) { return static_cast<uint32_t>(state); }
constexpr uint32_t Index(SamplerState state) { return static_cast<uint32_t>(state); }

uint32_t IndicesOf(PrimitiveType type, uint32_t primitiveCount)
{
    return type == PrimitiveType::TriangleList ? primitiveCount * 3 : primitiveCount + 2;
}

}  // namespace

DeviceResource::DeviceResource(GraphicsDevice* device) : device_(device)
{
    if (device_) device_->Attach(this);
}

DeviceResource::~DeviceResource()
{
    if (device_) device_->Forget(this);
}

GraphicsDevice::GraphicsDevice()
{
    ResetStates();
}

GraphicsDevice::~GraphicsDevice()
{
    DetachResources();
    if (currentDevice == this) SetCurrent(nullptr);
}

GraphicsDevice* GraphicsDevice::Current()
{
    return currentDevice;
}

void GraphicsDevice::SetCurrent(GraphicsDevice* device)
{
    // The filter settings live in the samplers of the device they were written to: another
    // device (a display released and initialised again) has to receive them anew.
    if (device != currentDevice) TextureFilter::DeviceChanged();
    currentDevice = device;
}

// The device's initial states are Direct3D's defaults.
void GraphicsDevice::ResetStates()
{
    renderStates_[Index(RenderState::ZEnable)] = 1;
    renderStates_[Index(RenderState::ZWriteEnable)] = 1;
    renderStates_[Index(RenderState::ZFunc)] = Compare::LessEqual;
    renderStates_[Index(RenderState::CullMode)] = Cull::CCW;
    renderStates_[Index(RenderState::Lighting)] = 1;
    renderStates_[Index(RenderState::AlphaTestEnable)] = 0;
    renderStates_[Index(RenderState::AlphaRef)] = 0;
    renderStates_[Index(RenderState::AlphaFunc)] = Compare::Always;
    renderStates_[Index(RenderState::AlphaBlendEnable)] = 0;
    renderStates_[Index(RenderState::SrcBlend)] = Blend::One;
    renderStates_[Index(RenderState::DestBlend)] = Blend::Zero;
    renderStates_[Index(RenderState::TextureFactor)] = 0xffffffffu;
    for (uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
        uint32_t* s = stageStates_[stage];
        s[Index(StageState::ColorOp)] = stage == 0 ? TextureOp::Modulate : TextureOp::Disable;
        s[Index(StageState::AlphaOp)] = stage == 0 ? TextureOp::SelectArg1 : TextureOp::Disable;
        s[Index(StageState::ColorArg0)] = TextureArg::Current;
        s[Index(StageState::ColorArg1)] = TextureArg::Texture;
        s[Index(StageState::ColorArg2)] = TextureArg::Current;
        s[Index(StageState::AlphaArg0)] = TextureArg::Current;
        s[Index(StageState::AlphaArg1)] = TextureArg::Texture;
        s[Index(StageState::AlphaArg2)] = TextureArg::Current;
        s[Index(StageState::TexCoordIndex)] = stage;
        uint32_t* sampler = samplerStates_[stage];
        sampler[Index(SamplerState::AddressU)] = TextureAddress::Wrap;
        sampler[Index(SamplerState::AddressV)] = TextureAddress::Wrap;
        sampler[Index(SamplerState::AddressW)] = TextureAddress::Wrap;
        sampler[Index(SamplerState::MagFilter)] = TextureFilterType::Point;
        sampler[Index(SamplerState::MinFilter)] = TextureFilterType::Point;
        sampler[Index(SamplerState::MipFilter)] = TextureFilterType::None;
        sampler[Index(SamplerState::MaxAnisotropy)] = 1;
    }
}

bool GraphicsDevice::Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil)
{
    if ((flags & (ClearFlags::Target | ClearFlags::ZBuffer | ClearFlags::Stencil)) == 0) return false;
    return DoClear(flags, color, std::clamp(z, 0.0f, 1.0f), stencil);
}

bool GraphicsDevice::BeginScene()
{
    if (inScene_) return false;
    inScene_ = true;
    return true;
}

bool GraphicsDevice::EndScene()
{
    if (!inScene_) return false;
    inScene_ = false;
    return true;
}

bool GraphicsDevice::Present()
{
    return DoPresent();
}

void GraphicsDevice::SetRenderState(RenderState state, uint32_t value)
{
    if (Index(state) < Index(RenderState::Count)) renderStates_[Index(state)] = value;
}

uint32_t GraphicsDevice::GetRenderState(RenderState state) const
{
    return Index(state) < Index(RenderState::Count) ? renderStates_[Index(state)] : 0;
}

void GraphicsDevice::SetTextureStageState(uint32_t stage, StageState state, uint32_t value)
{
    if (stage < kMaxTextureStages && Index(state) < Index(StageState::Count)) stageStates_[stage][Index(state)] = value;
}

uint32_t GraphicsDevice::GetTextureStageState(uint32_t stage, StageState state) const
{
    if (stage >= kMaxTextureStages || Index(state) >= Index(StageState::Count)) return 0;
    return stageStates_[stage][Index(state)];
}

void GraphicsDevice::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value)
{
    if (sampler < kMaxTextureStages && Index(state) < Index(SamplerState::Count))
        samplerStates_[sampler][Index(state)] = value;
}

uint32_t GraphicsDevice::GetSamplerState(uint32_t sampler, SamplerState state) const
{
    if (sampler >= kMaxTextureStages || Index(state) >= Index(SamplerState::Count)) return 0;
    return samplerStates_[sampler][Index(state)];
}

void GraphicsDevice::SetTransform(TransformType type, const Matrix& matrix)
{
    if (static_cast<uint32_t>(type) < static_cast<uint32_t>(TransformType::Count))
        transforms_[static_cast<uint32_t>(type)] = matrix;
}

const Matrix& GraphicsDevice::GetTransform(TransformType type) const
{
    const uint32_t index = static_cast<uint32_t>(type);
    return transforms_[index < static_cast<uint32_t>(TransformType::Count) ? index : 0];
}

void GraphicsDevice::SetTexture(uint32_t stage, DeviceTexture* texture)
{
    if (stage < kMaxTextureStages) textures_[stage] = texture;
}

DeviceTexture* GraphicsDevice::GetTexture(uint32_t stage) const
{
    return stage < kMaxTextureStages ? textures_[stage] : nullptr;
}

bool GraphicsDevice::SetRenderTarget(uint32_t index, RenderSurface* surface)
{
    if (index != 0) return false;
    if (surface && surface->IsBackBuffer()) surface = nullptr;
    renderTarget_ = surface;
    renderTargetOwner_ = surface ? surface->Owner() : nullptr;
    DoSetRenderTarget(surface);
    return true;
}

RenderSurface* GraphicsDevice::GetRenderTarget(uint32_t index)
{
    if (index != 0) return nullptr;
    return renderTarget_ ? renderTarget_ : GetBackBuffer();
}

void GraphicsDevice::SetVertexShader(DeviceShader* shader)
{
    vertexShader_ = shader && shader->Stage() == ShaderStage::Vertex ? shader : nullptr;
}

void GraphicsDevice::SetPixelShader(DeviceShader* shader)
{
    pixelShader_ = shader && shader->Stage() == ShaderStage::Pixel ? shader : nullptr;
}

bool GraphicsDevice::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride)
{
    if (!vertices || primitiveCount == 0) return false;
    if (StrideOfFvf(fvf_) == 0 || stride != StrideOfFvf(fvf_)) return false;
    return DoDrawPrimitiveUP(type, primitiveCount, vertices, stride);
}

bool GraphicsDevice::DrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount)
{
    if (!streamSource_ || !indices_ || primitiveCount == 0) return false;
    const uint64_t end = static_cast<uint64_t>(startIndex) + IndicesOf(type, primitiveCount);
    if (end > indices_->Count()) return false;
    return DoDrawIndexedPrimitive(type, startIndex, primitiveCount);
}

void GraphicsDevice::Attach(DeviceResource* resource)
{
    resources_.push_back(resource);
}

// A resource going away must not stay bound anywhere.
void GraphicsDevice::Forget(DeviceResource* resource)
{
    for (DeviceTexture*& texture : textures_) {
        if (texture == resource) texture = nullptr;
    }
    // The surface itself is already gone with its texture: compare owners only.
    if (renderTarget_ && renderTargetOwner_ == resource) {
        renderTarget_ = nullptr;
        renderTargetOwner_ = nullptr;
        DoSetRenderTarget(nullptr);
    }
    if (vertexShader_ == resource) vertexShader_ = nullptr;
    if (pixelShader_ == resource) pixelShader_ = nullptr;
    if (streamSource_ == resource) streamSource_ = nullptr;
    if (indices_ == resource) indices_ = nullptr;
    resources_.erase(std::remove(resources_.begin(), resources_.end(), resource), resources_.end());
}

void GraphicsDevice::DetachResources()
{
    for (DeviceResource* resource : resources_) {
        resource->OnDeviceGone();
        resource->device_ = nullptr;
    }
    resources_.clear();
    for (DeviceTexture*& texture : textures_) texture = nullptr;
    renderTarget_ = nullptr;
    renderTargetOwner_ = nullptr;
    vertexShader_ = nullptr;
    pixelShader_ = nullptr;
    streamSource_ = nullptr;
    indices_ = nullptr;
}

int MipLevelCount(int width, int height)
{
    int levels = 1;
    for (int size = std::max(width, height); size > 1; size /= 2) ++levels;
    return levels;
}
