#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/DeviceShader.h"
#include "engine/device/DeviceStates.h"
#include "engine/device/DeviceTexture.h"
#include "engine/device/DeviceVertices.h"
#include "engine/device/IndexBuffer.h"
#include "engine/device/RenderSurface.h"
#include "engine/device/VertexBuffer.h"
#include "engine/math/Matrix.h"

class DeviceResource;

// The rendering device, in the vocabulary of Direct3D 9: render states, texture stage states,
// sampler states, transforms, textures, render targets, shaders, user-memory and indexed drawing.
//
// Conventions are Direct3D's whatever the implementation: row vectors and left-handed transforms,
// clip-space depth 0..w, screen pixel centres on whole coordinates with (0, 0) at the top left,
// texture rows top-down (v = 0 is the first row of the picture), clockwise front faces.
//
// The single global device. `Display::Init` creates the OpenGL device and makes it current;
// `Display::Release` destroys it. Everything else reaches it through GraphicsDevice::Current()
// (null while there is none: callers then do nothing). Tests and headless tools make a NullDevice
// current instead, with SetCurrent or a ScopedCurrentDevice.
//
// State setters record the value, which the getters return on every implementation; an
// implementation applies the recorded state when it clears or draws. Resources are owned by the
// caller (std::unique_ptr) and may outlive the device: they are then empty but safe to destroy.
class GraphicsDevice {
public:
    GraphicsDevice();
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;
    virtual ~GraphicsDevice();

    static GraphicsDevice* Current();
    static void SetCurrent(GraphicsDevice* device);

    // --- frame ---
    // Clears the current render target (ClearFlags::Target, colour packed ARGB) and/or the depth
    // buffer (ClearFlags::ZBuffer, to z).
    bool Clear(uint32_t flags, uint32_t color, float z, uint32_t stencil);
    bool BeginScene();  // false when a scene is already open
    bool EndScene();    // false when no scene is open
    bool Present();     // shows the back buffer
    bool InScene() const { return inScene_; }

    // --- state ---
    void SetRenderState(RenderState state, uint32_t value);
    uint32_t GetRenderState(RenderState state) const;
    // Stages and samplers beyond kMaxTextureStages are ignored (getters return 0).
    void SetTextureStageState(uint32_t stage, StageState state, uint32_t value);
    uint32_t GetTextureStageState(uint32_t stage, StageState state) const;
    void SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
    uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const;
    void SetTransform(TransformType type, const Matrix& matrix);
    const Matrix& GetTransform(TransformType type) const;

    // --- resources in use ---
    // Null clears the stage; the stage then samples opaque white.
    void SetTexture(uint32_t stage, DeviceTexture* texture);
    DeviceTexture* GetTexture(uint32_t stage) const;
    // Only target 0 exists. Selecting a target sets the viewport to its whole size. Null selects
    // the back buffer.
    bool SetRenderTarget(uint32_t index, RenderSurface* surface);
    // The selected target; the back buffer when none was selected. Null for an index other than 0.
    RenderSurface* GetRenderTarget(uint32_t index);
    // The back buffer, owned by the device; its size follows the window.
    virtual RenderSurface* GetBackBuffer() = 0;
    // Null turns the shader stage off: vertices are then transformed by world × view × projection
    // and pixels coloured by the texture stages.
    void SetVertexShader(DeviceShader* shader);
    void SetPixelShader(DeviceShader* shader);
    DeviceShader* GetVertexShader() const { return vertexShader_; }
    DeviceShader* GetPixelShader() const { return pixelShader_; }
    // The vertex format of DrawPrimitiveUP: one of the kFvf values in DeviceVertices.h.
    void SetFVF(uint32_t fvf) { fvf_ = fvf; }
    uint32_t GetFVF() const { return fvf_; }
    // The mesh buffers of DrawIndexedPrimitive.
    void SetStreamSource(VertexBuffer* vertices) { streamSource_ = vertices; }
    void SetIndices(IndexBuffer* indices) { indices_ = indices; }
    VertexBuffer* GetStreamSource() const { return streamSource_; }
    IndexBuffer* GetIndices() const { return indices_; }

    // --- drawing ---
    // Draws primitiveCount primitives from user memory in the format of SetFVF; stride must be the
    // format's size. False (nothing drawn) for an unknown format, a wrong stride or no vertices.
    bool DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    // Draws from the stream source and index buffer, starting at startIndex. False when either is
    // missing or the range lies outside the index buffer.
    bool DrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount);

    // --- creation ---
    // A 2D texture from width × height RGBA bytes, rows top-down; with mipmaps, the full chain is
    // built by box filtering. Null for sizes below 1 or without pixels.
    virtual std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint8_t* rgba, bool mipmaps) = 0;
    // A volume texture of width × height × depth RGBA bytes, x fastest, then y, then z; one level.
    virtual std::unique_ptr<DeviceTexture> CreateVolumeTexture(int width, int height, int depth, const uint8_t* rgba) = 0;
    // A render-target texture of one level (opaque colour, 8 bits a channel).
    virtual std::unique_ptr<DeviceTexture> CreateRenderTarget(int width, int height) = 0;
    virtual std::unique_ptr<VertexBuffer> CreateVertexBuffer(const MeshVertex* vertices, uint32_t count) = 0;
    virtual std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint16_t* indices, uint32_t count) = 0;
    virtual std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint32_t* indices, uint32_t count) = 0;
    // Compiles the source file at path with the defines ahead of it. Null when the file is missing
    // or does not compile; the compiler's messages then go to the log at level 4 and into messages
    // when given.
    virtual std::unique_ptr<DeviceShader> CreateVertexShader(const char* path, std::string* messages = nullptr,
                                                             const std::vector<ShaderDefine>& defines = {}) = 0;
    virtual std::unique_ptr<DeviceShader> CreatePixelShader(const char* path, std::string* messages = nullptr,
                                                            const std::vector<ShaderDefine>& defines = {}) = 0;

    // Reads a rectangle of the current render target as RGBA bytes, rows top-down, in screen
    // pixels ((0, 0) top left). False when out of range or the device keeps no pixels.
    virtual bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba) = 0;

protected:
    // Implementations do the work here; the public operations have already checked and recorded
    // their arguments.
    virtual bool DoClear(uint32_t flags, uint32_t color, float z, uint32_t stencil) = 0;
    virtual bool DoPresent() = 0;
    virtual void DoSetRenderTarget(RenderSurface* surface) = 0;
    virtual bool DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) = 0;
    virtual bool DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount) = 0;

    // Implementations call this first in their destructor, while their context is still current.
    void DetachResources();

private:
    friend class DeviceResource;
    void Attach(DeviceResource* resource);
    void Forget(DeviceResource* resource);
    void ResetStates();

    uint32_t renderStates_[static_cast<uint32_t>(RenderState::Count)] = {};
    uint32_t stageStates_[kMaxTextureStages][static_cast<uint32_t>(StageState::Count)] = {};
    uint32_t samplerStates_[kMaxTextureStages][static_cast<uint32_t>(SamplerState::Count)] = {};
    Matrix transforms_[static_cast<uint32_t>(TransformType::Count)];
    DeviceTexture* textures_[kMaxTextureStages] = {};
    RenderSurface* renderTarget_ = nullptr;  // null: the back buffer
    const DeviceResource* renderTargetOwner_ = nullptr;
    DeviceShader* vertexShader_ = nullptr;
    DeviceShader* pixelShader_ = nullptr;
    uint32_t fvf_ = 0;
    VertexBuffer* streamSource_ = nullptr;
    IndexBuffer* indices_ = nullptr;
    bool inScene_ = false;
    std::vector<DeviceResource*> resources_;
};

// Makes a device current for a scope and restores the previous one after.
class ScopedCurrentDevice {
public:
    explicit ScopedCurrentDevice(GraphicsDevice* device) : previous_(GraphicsDevice::Current())
    {
        GraphicsDevice::SetCurrent(device);
    }
    ~ScopedCurrentDevice() { GraphicsDevice::SetCurrent(previous_); }
    ScopedCurrentDevice(const ScopedCurrentDevice&) = delete;
    ScopedCurrentDevice& operator=(const ScopedCurrentDevice&) = delete;

private:
    GraphicsDevice* previous_;
};
