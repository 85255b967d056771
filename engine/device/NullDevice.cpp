#include "engine/device/NullDevice.h"

#include <algorithm>
#include <cstring>

#include "engine/platform/Log.h"
#include "engine/device/ShaderSourceFile.h"

namespace {

// Textures keep their level-0 pixels so that callers can check what they uploaded.
class NullTexture final : public DeviceTexture {
public:
    NullTexture(GraphicsDevice* device, TextureKind kind, int width, int height, int depth, int levels,
                std::vector<uint8_t> pixels)
        : DeviceTexture(device, kind, width, height, depth, levels), pixels_(std::move(pixels)), surface_(this)
    {
    }

    RenderSurface* GetSurfaceLevel0() override { return Kind() == TextureKind::RenderTarget ? &surface_ : nullptr; }

    bool ReadLevel0(std::vector<uint8_t>* rgba) const override
    {
        *rgba = pixels_;
        return true;
    }

private:
    class Surface final : public RenderSurface {
    public:
        explicit Surface(const NullTexture* owner) : RenderSurface(owner), owner_(owner) {}
        int Width() const override { return owner_->Width(); }
        int Height() const override { return owner_->Height(); }

    private:
        const NullTexture* owner_;
    };

    std::vector<uint8_t> pixels_;
    Surface surface_;
};

class NullVertexBuffer final : public VertexBuffer {
public:
    NullVertexBuffer(GraphicsDevice* device, const MeshVertex* vertices, uint32_t count)
        : VertexBuffer(device, count), vertices_(vertices, vertices + count)
    {
    }
    bool Read(std::vector<MeshVertex>* vertices) const override
    {
        *vertices = vertices_;
        return true;
    }

private:
    std::vector<MeshVertex> vertices_;
};

class NullIndexBuffer final : public IndexBuffer {
public:
    NullIndexBuffer(GraphicsDevice* device, std::vector<uint32_t> indices, IndexFormat format)
        : IndexBuffer(device, static_cast<uint32_t>(indices.size()), format), indices_(std::move(indices))
    {
    }
    bool Read(std::vector<uint32_t>* indices) const override
    {
        *indices = indices_;
        return true;
    }

private:
    std::vector<uint32_t> indices_;
};

class NullShader final : public DeviceShader {
public:
    NullShader(GraphicsDevice* device, ShaderStage stage, std::string path, ShaderConstantTable constants)
        : DeviceShader(device, stage, std::move(path), std::move(constants))
    {
    }
};

bool SizeIsValid(int width, int height, int depth)
{
    constexpr int kMaxSide = 16384;
    return width > 0 && height > 0 && depth > 0 && width <= kMaxSide && height <= kMaxSide && depth <= kMaxSide;
}

}  // namespace

class NullDevice::BackBuffer final : public RenderSurface {
public:
    BackBuffer(int width, int height) : RenderSurface(nullptr), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Resize(int width, int height)
    {
        width_ = width;
        height_ = height;
    }

private:
    int width_;
    int height_;
};

NullDevice::NullDevice(int backBufferWidth, int backBufferHeight)
    : backBuffer_(std::make_unique<BackBuffer>(backBufferWidth, backBufferHeight))
{
}

NullDevice::~NullDevice()
{
    DetachResources();
}

RenderSurface* NullDevice::GetBackBuffer()
{
    return backBuffer_.get();
}

void NullDevice::ResizeBackBuffer(int width, int height)
{
    backBuffer_->Resize(width, height);
}

std::unique_ptr<DeviceTexture> NullDevice::CreateTexture(int width, int height, const uint8_t* rgba, bool mipmaps)
{
    if (!rgba || !SizeIsValid(width, height, 1)) return nullptr;
    std::vector<uint8_t> pixels(rgba, rgba + static_cast<size_t>(width) * height * 4);
    const int levels = mipmaps ? MipLevelCount(width, height) : 1;
    return std::make_unique<NullTexture>(this, TextureKind::Texture2D, width, height, 1, levels, std::move(pixels));
}

std::unique_ptr<DeviceTexture> NullDevice::CreateVolumeTexture(int width, int height, int depth, const uint8_t* rgba)
{
    if (!rgba || !SizeIsValid(width, height, depth)) return nullptr;
    std::vector<uint8_t> pixels(rgba, rgba + static_cast<size_t>(width) * height * depth * 4);
    return std::make_unique<NullTexture>(this, TextureKind::Volume, width, height, depth, 1, std::move(pixels));
}

std::unique_ptr<DeviceTexture> NullDevice::CreateRenderTarget(int width, int height)
{
    if (!SizeIsValid(width, height, 1)) return nullptr;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    return std::make_unique<NullTexture>(this, TextureKind::RenderTarget, width, height, 1, 1, std::move(pixels));
}

std::unique_ptr<VertexBuffer> NullDevice::CreateVertexBuffer(const MeshVertex* vertices, uint32_t count)
{
    if (!vertices || count == 0) return nullptr;
    return std::make_unique<NullVertexBuffer>(this, vertices, count);
}

std::unique_ptr<IndexBuffer> NullDevice::CreateIndexBuffer(const uint16_t* indices, uint32_t count)
{
    if (!indices || count == 0) return nullptr;
    return std::make_unique<NullIndexBuffer>(this, std::vector<uint32_t>(indices, indices + count), IndexFormat::Index16);
}

std::unique_ptr<IndexBuffer> NullDevice::CreateIndexBuffer(const uint32_t* indices, uint32_t count)
{
    if (!indices || count == 0) return nullptr;
    return std::make_unique<NullIndexBuffer>(this, std::vector<uint32_t>(indices, indices + count), IndexFormat::Index32);
}

std::unique_ptr<DeviceShader> NullDevice::CreateShader(ShaderStage stage, const char* path, std::string* messages)
{
    std::string source;
    if (!path || !ReadShaderSourceFile(path, &source)) {
        const std::string message = std::string("cannot open shader source ") + (path ? path : "(null)");
        Log::Print(4, "%s\n", message.c_str());
        if (messages) *messages = message;
        return nullptr;
    }
    if (messages) messages->clear();
    return std::make_unique<NullShader>(this, stage, path, ShaderConstantTable::FromSource(source));
}

// The null device lists every uniform the source declares, whatever the defines.
std::unique_ptr<DeviceShader> NullDevice::CreateVertexShader(const char* path, std::string* messages,
                                                             const std::vector<ShaderDefine>&)
{
    return CreateShader(ShaderStage::Vertex, path, messages);
}

std::unique_ptr<DeviceShader> NullDevice::CreatePixelShader(const char* path, std::string* messages,
                                                            const std::vector<ShaderDefine>&)
{
    return CreateShader(ShaderStage::Pixel, path, messages);
}

bool NullDevice::ReadPixels(int, int, int, int, std::vector<uint8_t>*)
{
    return false;
}

void NullDevice::ClearLog()
{
    draws_.clear();
    clears_.clear();
    presents_ = 0;
}

bool NullDevice::DoClear(uint32_t flags, uint32_t color, float z, uint32_t)
{
    clears_.push_back({flags, color, z, GetRenderTarget(0)});
    return true;
}

bool NullDevice::DoPresent()
{
    ++presents_;
    return true;
}

void NullDevice::DoSetRenderTarget(RenderSurface*) {}

NullDrawCall NullDevice::DrawWithState()
{
    NullDrawCall draw;
    for (uint32_t i = 0; i < NullDrawCall::kStagesKept; ++i) {
        draw.stages[i] = {GetTexture(i), GetSamplerState(i, SamplerState::AddressU),
                          GetSamplerState(i, SamplerState::AddressV), GetSamplerState(i, SamplerState::MinFilter),
                          GetSamplerState(i, SamplerState::MipFilter)};
    }
    draw.vertexShader = GetVertexShader();
    draw.pixelShader = GetPixelShader();
    draw.renderTarget = GetRenderTarget(0);
    draw.blending = GetRenderState(RenderState::AlphaBlendEnable) != 0;
    draw.alphaTest = GetRenderState(RenderState::AlphaTestEnable) != 0;
    draw.depthWrite = GetRenderState(RenderState::ZWriteEnable) != 0;
    draw.srcBlend = GetRenderState(RenderState::SrcBlend);
    draw.destBlend = GetRenderState(RenderState::DestBlend);
    draw.world = GetTransform(TransformType::World);
    return draw;
}

bool NullDevice::DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride)
{
    NullDrawCall draw = DrawWithState();
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.fvf = GetFVF();
    draw.stride = stride;
    const uint32_t vertexCount = type == PrimitiveType::TriangleList ? primitiveCount * 3 : primitiveCount + 2;
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    draw.vertexBytes.assign(bytes, bytes + static_cast<size_t>(vertexCount) * stride);
    draws_.push_back(std::move(draw));
    return true;
}

bool NullDevice::DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount)
{
    NullDrawCall draw = DrawWithState();
    draw.indexed = true;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.startIndex = startIndex;
    draws_.push_back(std::move(draw));
    return true;
}
