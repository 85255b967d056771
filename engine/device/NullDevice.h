#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/GraphicsDevice.h"

// One draw as the null device saw it, with the state it was made in, for tests of what the layers
// above submit.
struct NullDrawCall {
    bool indexed = false;
    PrimitiveType type = PrimitiveType::TriangleList;
    uint32_t primitiveCount = 0;
    uint32_t fvf = 0;                   // DrawPrimitiveUP only
    uint32_t stride = 0;                // DrawPrimitiveUP only
    std::vector<uint8_t> vertexBytes;   // DrawPrimitiveUP only: a copy of the vertices drawn
    uint32_t startIndex = 0;            // DrawIndexedPrimitive only
    // The first stages' textures, and their samplers' addressing and filters, at the draw.
    struct Stage {
        DeviceTexture* texture = nullptr;
        uint32_t addressU = 0;
        uint32_t addressV = 0;
        uint32_t minFilter = 0;
        uint32_t mipFilter = 0;
    };
    static constexpr uint32_t kStagesKept = 3;
    Stage stages[kStagesKept];
    DeviceShader* vertexShader = nullptr;
    DeviceShader* pixelShader = nullptr;
    RenderSurface* renderTarget = nullptr;
    bool blending = false;
    bool alphaTest = false;
    bool depthWrite = false;
    uint32_t srcBlend = 0;
    uint32_t destBlend = 0;
    Matrix world;
};

struct NullClear {
    uint32_t flags = 0;
    uint32_t color = 0;
    float z = 0.0f;
    RenderSurface* renderTarget = nullptr;
};

// A device that draws nothing and keeps everything callers read back: states, bound resources,
// texture pixels, buffer contents, shader constants (from the uniforms the source declares), and
// a log of clears and draws. Lets everything above the device run in unit tests and headless
// tools without a display.
class NullDevice final : public GraphicsDevice {
public:
    explicit NullDevice(int backBufferWidth = 640, int backBufferHeight = 480);
    ~NullDevice() override;

    RenderSurface* GetBackBuffer() override;

    std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint8_t* rgba, bool mipmaps) override;
    std::unique_ptr<DeviceTexture> CreateVolumeTexture(int width, int height, int depth, const uint8_t* rgba) override;
    std::unique_ptr<DeviceTexture> CreateRenderTarget(int width, int height) override;
    std::unique_ptr<VertexBuffer> CreateVertexBuffer(const MeshVertex* vertices, uint32_t count) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint16_t* indices, uint32_t count) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint32_t* indices, uint32_t count) override;
    std::unique_ptr<DeviceShader> CreateVertexShader(const char* path, std::string* messages = nullptr,
                                                     const std::vector<ShaderDefine>& defines = {}) override;
    std::unique_ptr<DeviceShader> CreatePixelShader(const char* path, std::string* messages = nullptr,
                                                    const std::vector<ShaderDefine>& defines = {}) override;
    bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba) override;

    // Resizes the back buffer, as a window resize would.
    void ResizeBackBuffer(int width, int height);

    const std::vector<NullDrawCall>& Draws() const { return draws_; }
    const std::vector<NullClear>& Clears() const { return clears_; }
    int PresentCount() const { return presents_; }
    // Forgets the logged clears, draws and presents.
    void ClearLog();

protected:
    bool DoClear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override;
    bool DoPresent() override;
    void DoSetRenderTarget(RenderSurface* surface) override;
    bool DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) override;
    bool DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount) override;

private:
    class BackBuffer;
    NullDrawCall DrawWithState();
    std::unique_ptr<DeviceShader> CreateShader(ShaderStage stage, const char* path, std::string* messages);

    std::unique_ptr<BackBuffer> backBuffer_;
    std::vector<NullDrawCall> draws_;
    std::vector<NullClear> clears_;
    int presents_ = 0;
};
