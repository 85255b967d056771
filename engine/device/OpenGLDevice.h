#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "engine/device/GLStateCache.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/device/TextureStageSetup.h"

struct SDL_Window;

// The graphics device on OpenGL 3.3 core through SDL2, with functions loaded by libepoxy.
//
// Direct3D's conventions are mapped inside: clip depth 0..w becomes OpenGL's -w..w, vertices shift
// by half a pixel so that whole screen coordinates are pixel centres, render targets are drawn
// upside down so that their first row is the top (as texture rows are) and the cull winding
// follows, colours packed ARGB are read as BGRA bytes. The fixed-function texture stages, alpha
// test, and the pre-transformed screen vertices are the device's own GLSL (GLShaderText.h): the
// stages become one pixel program per TextureStageSetup, which does only what those stages ask.
// Pixel programs come with and without the alpha test; a draw that tests nothing uses the latter.
//
// A draw passes on to OpenGL only what differs from what OpenGL already has (GLStateCache): the
// program, fixed states, textures, samplers and their parameters, the vertex array (one per vertex
// format for user-memory vertices, one per mesh vertex buffer), the device's uniforms and, per
// program, the shader constants whose values changed since that program last received them.
//
// Limits: the texture stages are evaluated for stages 0 to 3 (sampler states and textures are kept
// for all eight); shader constants are the uniforms the linked program uses (a declared but unused
// one gives the null handle), arrays by their first element; pixel shaders sample the textures of
// stages 0 to 3 as s0 to s3 (2D) and sv0 to sv3 (volumes). Mirror-once addressing is the absolute
// coordinate clamped to the edge: the stage programs take the absolute value, and pixel shaders that
// sample such a texture do the same.
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
    std::unique_ptr<DeviceShader> CreateVertexShader(const char* path, std::string* messages = nullptr,
                                                     const std::vector<ShaderDefine>& defines = {}) override;
    std::unique_ptr<DeviceShader> CreatePixelShader(const char* path, std::string* messages = nullptr,
                                                    const std::vector<ShaderDefine>& defines = {}) override;
    bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba) override;

    // Presenting waits for the display's refresh when on (adaptively where the driver offers it,
    // so that a late frame is shown at once rather than a whole refresh later).
    void SetSwapInterval(bool synchronised);
    // The size of the picture each frame draws, which the back buffer reports. When the window's
    // drawable area differs (a full-screen window that kept the desktop's mode, a window the window
    // manager sized otherwise), frames are drawn offscreen at this size and Present shows them
    // scaled to fit, letterboxed on black, so that the picture is the same pixel for pixel and is
    // never stretched or cut. 0 × 0 follows the window.
    void SetBackBufferSize(int width, int height);
    // Whether frames are drawn offscreen and scaled now.
    bool Letterboxed() const;
    // The OpenGL renderer's name, for the log.
    std::string RendererName() const;

    // Called by the device's shader objects when they go away.
    void ForgetShaderObject(unsigned int shaderObject);

    // What the device has asked of OpenGL since the last ResetWork, in calls, for benchmarks.
    using Work = GLStateCache::Work;
    const Work& WorkDone() const { return state_.Counts(); }
    void ResetWork() { state_.Counts() = {}; }

    // What OpenGL has bound, for the device's own resource objects.
    GLStateCache& BoundState() { return state_; }

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
    std::unique_ptr<DeviceShader> CreateShader(ShaderStage stage, const char* path, std::string* messages,
                                               const std::vector<ShaderDefine>& defines);

    unsigned int StagePixelShader(const TextureStageSetup& setup, bool alphaTest);
    bool AlphaTested() const;
    Program* ProgramFor(unsigned int vertexShader, unsigned int pixelShader, const DeviceShader* vs, const DeviceShader* ps);
    Program* ProgramForDraw(bool pretransformed);
    // Everything a draw needs but its vertices: null when there is no program to draw with.
    Program* PrepareDraw(bool pretransformed);
    void ApplyRenderTarget();
    void ApplyFixedStates();
    void ApplyTextures();
    void UploadDeviceUniforms(Program* program);
    void UploadConstants(Program* program);
    unsigned int StreamArray(uint32_t fvf);
    void TargetSize(int* width, int* height);
    bool DrawingIntoTexture() const;
    unsigned int BackBufferFramebuffer();
    void ShowLetterboxed();
    void DeleteSceneFramebuffer();

    SDL_Window* window_;
    void* context_;
    std::unique_ptr<BackBuffer> backBuffer_;
    int pictureWidth_ = 0;   // 0: the back buffer follows the window
    int pictureHeight_ = 0;
    unsigned int sceneFramebuffer_ = 0;  // the offscreen back buffer while letterboxed
    unsigned int sceneColor_ = 0;
    unsigned int sceneDepth_ = 0;
    int sceneWidth_ = 0;
    int sceneHeight_ = 0;
    bool drawnOffscreen_ = false;  // this frame went to the offscreen back buffer
    unsigned int streamBuffer_ = 0;
    std::map<uint32_t, unsigned int> streamArrays_;  // vertex format → vertex array on streamBuffer_
    unsigned int samplers_[kMaxTextureStages] = {};
    unsigned int white2D_ = 0;
    unsigned int white3D_ = 0;
    unsigned int fixedVertexShader_ = 0;
    unsigned int pretransformedVertexShader_ = 0;
    unsigned int everyInputPixelShader_ = 0;
    bool anisotropy_ = false;
    std::map<TextureStageSetup, unsigned int> stageShaders_[2];  // without and with the alpha test
    std::map<std::pair<unsigned int, unsigned int>, std::unique_ptr<Program>> programs_;
    TextureStageSetup lastSetup_;
    unsigned int lastStageShader_ = 0;
    bool lastStageTested_ = true;
    Program* lastProgram_ = nullptr;
    unsigned int lastVertex_ = 0;
    unsigned int lastPixel_ = 0;
    uint64_t indexBufferSerial_ = 0;
    GLStateCache state_;
};
