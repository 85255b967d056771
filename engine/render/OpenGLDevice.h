#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "engine/render/GraphicsDevice.h"

struct SDL_Window;

// The graphics device on OpenGL 3.3 core through SDL2, with functions loaded by libepoxy.
//
// Direct3D's conventions are mapped inside: clip depth 0..w becomes OpenGL's -w..w, vertices shift
// by half a pixel so that whole screen coordinates are pixel centres, render targets are drawn
// upside down so that their first row is the top (as texture rows are) and the cull winding
// follows, colours packed ARGB are read as BGRA bytes. The fixed-function texture stages, alpha
// test, and the pre-transformed screen vertices are the device's own GLSL (GLShaderText.h).
//
// Limits: the texture stages are evaluated for stages 0 to 3 (sampler states and textures are kept
// for all eight); shader constants are the uniforms the linked program uses (a declared but unused
// one gives the null handle), arrays by their first element; pixel shaders sample the 2D textures
// of stages 0 to 3 as s0 to s3, volume textures only through the texture stages. Mirror-once
// addressing uses OpenGL's mirror-clamp where the driver has it, else mirrored repeat, which is the
// same over -1..1.
class OpenGLDevice final : public GraphicsDevice {
public:
    // Creates a context on the window (made with Window::Create). Null, with the reason in *error,
    // when the window cannot have an OpenGL 3.3 core context.
    static std::unique_ptr<OpenGLDevice> Create(SDL_Window* window, std::string* error);
    ~OpenGLDevice() override;

    RenderSurface* GetBackBuffer() override;

    std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint8_t* rgba, bool mipmaps) override;
    std::unique_ptr<DeviceTexture> CreateVolumeTexture(int width, int height, int depth, const uint8_t* rgba) override;
    std::unique_ptr<DeviceTexture> CreateRenderTarget(int width, int height) override;
    std::unique_ptr<VertexBuffer> CreateVertexBuffer(const MeshVertex* vertices, uint32_t count) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint16_t* indices, uint32_t count) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(const uint32_t* indices, uint32_t count) override;
    std::unique_ptr<DeviceShader> CreateVertexShader(const char* path, std::string* messages = nullptr) override;
    std::unique_ptr<DeviceShader> CreatePixelShader(const char* path, std::string* messages = nullptr) override;
    bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba) override;

    // Presenting waits for the display's refresh when on; the display mode decides.
    void SetSwapInterval(bool synchronised);
    // The OpenGL renderer's name, for the log.
    std::string RendererName() const;

    // Called by the device's shader objects when they go away.
    void ForgetShaderObject(unsigned int shaderObject);

    // What the device has asked of OpenGL since the last ResetWork, in calls, for benchmarks.
    struct Work {
        uint64_t draws = 0;
        uint64_t programs = 0;  // program switches
        uint64_t states = 0;    // depth, cull, blend, viewport, scissor and framebuffer state
        uint64_t textures = 0;  // texture units: active unit, texture and sampler binds, sampler parameters
        uint64_t uniforms = 0;  // uniform uploads
        uint64_t buffers = 0;   // vertex arrays, buffer binds and uploads, attribute layout
    };
    const Work& WorkDone() const { return work_; }
    void ResetWork() { work_ = {}; }

protected:
    bool DoClear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override;
    bool DoPresent() override;
    void DoSetRenderTarget(RenderSurface* surface) override;
    bool DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) override;
    bool DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount) override;

private:
    struct Program;
    class BackBuffer;

    OpenGLDevice(SDL_Window* window, void* context);
    bool InitResources(std::string* error);
    std::unique_ptr<DeviceShader> CreateShader(ShaderStage stage, const char* path, std::string* messages);

    Program* ProgramFor(unsigned int vertexShader, unsigned int pixelShader, const DeviceShader* vs, const DeviceShader* ps);
    Program* ProgramForDraw(bool pretransformed);
    void ApplyState(Program* program);
    void ApplyTextures(Program* program);
    void ApplyTargetSize(Program* program);
    void UploadConstants(Program* program);
    void TargetSize(int* width, int* height);
    bool DrawingIntoTexture() const;

    SDL_Window* window_;
    void* context_;
    std::unique_ptr<BackBuffer> backBuffer_;
    unsigned int vertexArray_ = 0;
    unsigned int streamBuffer_ = 0;
    unsigned int samplers_[kMaxTextureStages] = {};
    unsigned int white2D_ = 0;
    unsigned int white3D_ = 0;
    unsigned int fixedVertexShader_ = 0;
    unsigned int pretransformedVertexShader_ = 0;
    unsigned int textureStagePixelShader_ = 0;
    bool anisotropy_ = false;
    std::map<std::pair<unsigned int, unsigned int>, std::unique_ptr<Program>> programs_;
    Work work_;
};
