#include "engine/render/OpenGLDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/platform/Log.h"
#include "engine/render/GLShaderText.h"
#include "engine/render/MipLevel.h"
#include "engine/render/LetterboxRect.h"

namespace {

constexpr int kMaxTextureSide = 16384;

GLenum CompareFunction(uint32_t compare)
{
    switch (compare) {
    case Compare::Never: return GL_NEVER;
    case Compare::Less: return GL_LESS;
    case Compare::Equal: return GL_EQUAL;
    case Compare::LessEqual: return GL_LEQUAL;
    case Compare::Greater: return GL_GREATER;
    case Compare::NotEqual: return GL_NOTEQUAL;
    case Compare::GreaterEqual: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum BlendFactor(uint32_t blend)
{
    switch (blend) {
    case Blend::Zero: return GL_ZERO;
    case Blend::SrcColor: return GL_SRC_COLOR;
    case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha: return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha: return GL_DST_ALPHA;
    case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor: return GL_DST_COLOR;
    case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

GLenum PrimitiveMode(PrimitiveType type)
{
    return type == PrimitiveType::TriangleStrip ? GL_TRIANGLE_STRIP : GL_TRIANGLES;
}

GLsizei VertexCount(PrimitiveType type, uint32_t primitiveCount)
{
    return static_cast<GLsizei>(type == PrimitiveType::TriangleList ? primitiveCount * 3 : primitiveCount + 2);
}

bool SizeIsValid(int width, int height, int depth)
{
    return width > 0 && height > 0 && depth > 0 && width <= kMaxTextureSide && height <= kMaxTextureSide &&
           depth <= kMaxTextureSide;
}

void UnpackColor(uint32_t color, float rgba[4])
{
    rgba[0] = static_cast<float>((color >> 16) & 0xff) / 255.0f;
    rgba[1] = static_cast<float>((color >> 8) & 0xff) / 255.0f;
    rgba[2] = static_cast<float>(color & 0xff) / 255.0f;
    rgba[3] = static_cast<float>((color >> 24) & 0xff) / 255.0f;
}

const void* Offset(size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

void Attribute(GLuint location, GLint size, GLenum type, GLboolean normalised, GLsizei stride, size_t offset)
{
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, type, normalised, stride, Offset(offset));
}

// Points the attributes at the bound array buffer in the layout of a vertex format; the others
// keep their generic values (white diffuse, texture coordinate (0, 0, 0, 1)).
void SetVertexLayout(uint32_t fvf)
{
    using namespace GLShaderText;
    for (GLuint location = 0; location <= kDiffuse; ++location) glDisableVertexAttribArray(location);
    switch (fvf) {
    case QuadVertex::kFvf:
        Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), 0);
        Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), 12);
        break;
    case ParticleVertex::kFvf:
        Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(ParticleVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ParticleVertex), 12);
        Attribute(kTexCoord0, 4, GL_FLOAT, GL_FALSE, sizeof(ParticleVertex), 16);
        break;
    case ScreenVertex::kFvf:
        Attribute(kPosition, 4, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenVertex), 16);
        Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), 20);
        break;
    case ScreenColorVertex::kFvf:
        Attribute(kPosition, 4, GL_FLOAT, GL_FALSE, sizeof(ScreenColorVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenColorVertex), 16);
        break;
    default: break;
    }
}

void SetMeshLayout()
{
    using namespace GLShaderText;
    for (GLuint location = 0; location <= kDiffuse; ++location) glDisableVertexAttribArray(location);
    Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, position));
    Attribute(kNormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, normal));
    Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, texCoord));
    Attribute(kTangent, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, tangent));
    Attribute(kBinormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, binormal));
}

std::string ShaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string ProgramLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

// Compiles prelude + body + epilogue; 0 with the compiler's messages in *messages on failure.
GLuint CompileShader(GLenum kind, const std::string& body, std::string* messages)
{
    const bool vertex = kind == GL_VERTEX_SHADER;
    const char* parts[3] = {vertex ? GLShaderText::VertexPrelude() : GLShaderText::PixelPrelude(), body.c_str(),
                            vertex ? GLShaderText::VertexEpilogue() : GLShaderText::PixelEpilogue()};
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        if (messages) *messages = ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(GLuint vertexShader, GLuint pixelShader, std::string* messages)
{
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, pixelShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        if (messages) *messages = ProgramLog(program);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

bool ConstantTypeOf(GLenum type, ConstantType* out)
{
    switch (type) {
    case GL_FLOAT: *out = ConstantType::Float; return true;
    case GL_BOOL: *out = ConstantType::Bool; return true;
    case GL_INT: *out = ConstantType::Int; return true;
    case GL_FLOAT_VEC2: *out = ConstantType::Vec2; return true;
    case GL_FLOAT_VEC3: *out = ConstantType::Vec3; return true;
    case GL_FLOAT_VEC4: *out = ConstantType::Vec4; return true;
    case GL_FLOAT_MAT4: *out = ConstantType::Matrix4; return true;
    default: return false;
    }
}

bool IsDeviceUniform(const std::string& name)
{
    if (name.rfind("harn", 0) == 0 || name.rfind("gl_", 0) == 0) return true;
    return name.size() == 2 && name[0] == 's' && name[1] >= '0' && name[1] <= '3';
}

// The constants a linked program takes from its source: every active uniform but the device's own.
ShaderConstantTable ConstantTableOf(GLuint program)
{
    ShaderConstantTable table;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, &length, &size, &type, name);
        std::string text(name, static_cast<size_t>(length));
        if (const size_t bracket = text.find('['); bracket != std::string::npos) text.resize(bracket);
        ConstantType constantType;
        if (IsDeviceUniform(text) || !ConstantTypeOf(type, &constantType)) continue;
        table.Add(text, constantType);
    }
    return table;
}

bool ReadFile(const char* path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    *text = contents.str();
    return true;
}

GLuint MakeTexture(GLenum target)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(target, texture);
    return texture;
}

class GLTexture final : public DeviceTexture {
public:
    GLTexture(GraphicsDevice* device, TextureKind kind, int width, int height, int depth, int levels, GLuint texture)
        : DeviceTexture(device, kind, width, height, depth, levels), texture_(texture), surface_(this)
    {
    }

    ~GLTexture() override { Free(); }

    GLuint Name() const { return texture_; }
    GLenum Target() const { return Kind() == TextureKind::Volume ? GL_TEXTURE_3D : GL_TEXTURE_2D; }
    GLuint Framebuffer() const { return framebuffer_; }

    // Render targets draw through a framebuffer with a depth-stencil buffer of their own size.
    bool AttachFramebuffer()
    {
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, Width(), Height());
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
        return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }

    RenderSurface* GetSurfaceLevel0() override { return Kind() == TextureKind::RenderTarget ? &surface_ : nullptr; }

    bool ReadLevel0(std::vector<uint8_t>* rgba) const override
    {
        if (!Device() || texture_ == 0) return false;
        rgba->assign(static_cast<size_t>(Width()) * Height() * Depth() * 4, 0);
        glBindTexture(Target(), texture_);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(Target(), 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
        return true;
    }

    class Surface final : public RenderSurface {
    public:
        explicit Surface(const GLTexture* owner) : RenderSurface(owner), owner_(owner) {}
        int Width() const override { return owner_->Width(); }
        int Height() const override { return owner_->Height(); }
        const GLTexture* Texture() const { return owner_; }

    private:
        const GLTexture* owner_;
    };

protected:
    void OnDeviceGone() override { Free(); }

private:
    void Free()
    {
        if (!Device()) return;
        if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
        if (depth_) glDeleteRenderbuffers(1, &depth_);
        if (texture_) glDeleteTextures(1, &texture_);
        framebuffer_ = depth_ = texture_ = 0;
    }

    GLuint texture_;
    GLuint framebuffer_ = 0;
    GLuint depth_ = 0;
    Surface surface_;
};

GLuint MakeBuffer(GLenum target, size_t bytes, const void* data)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

// Mesh buffers read back through the copy target, so that no bound vertex or index state changes.
void ReadBuffer(GLuint buffer, size_t bytes, void* out)
{
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, static_cast<GLsizeiptr>(bytes), out);
}

// Deletes a buffer name while its device lives; a device already gone took its names with it.
void DeleteBuffer(bool deviceAlive, GLuint* buffer)
{
    if (deviceAlive && *buffer) glDeleteBuffers(1, buffer);
    *buffer = 0;
}

class GLVertexBuffer final : public VertexBuffer {
public:
    GLVertexBuffer(GraphicsDevice* device, uint32_t count, GLuint buffer) : VertexBuffer(device, count), buffer_(buffer) {}
    ~GLVertexBuffer() override { Free(); }
    GLuint Name() const { return buffer_; }

    bool Read(std::vector<MeshVertex>* vertices) const override
    {
        if (!Device()) return false;
        vertices->resize(Count());
        ReadBuffer(buffer_, Count() * sizeof(MeshVertex), vertices->data());
        return true;
    }

protected:
    void OnDeviceGone() override { Free(); }

private:
    void Free() { DeleteBuffer(Device() != nullptr, &buffer_); }
    GLuint buffer_;
};

class GLIndexBuffer final : public IndexBuffer {
public:
    GLIndexBuffer(GraphicsDevice* device, uint32_t count, IndexFormat format, GLuint buffer)
        : IndexBuffer(device, count, format), buffer_(buffer)
    {
    }
    ~GLIndexBuffer() override { Free(); }
    GLuint Name() const { return buffer_; }
    size_t IndexSize() const { return Format() == IndexFormat::Index16 ? 2 : 4; }

    bool Read(std::vector<uint32_t>* indices) const override
    {
        if (!Device()) return false;
        std::vector<uint8_t> bytes(Count() * IndexSize());
        ReadBuffer(buffer_, bytes.size(), bytes.data());
        indices->resize(Count());
        for (uint32_t i = 0; i < Count(); ++i) {
            if (Format() == IndexFormat::Index16) {
                uint16_t value;
                std::memcpy(&value, bytes.data() + i * 2, 2);
                (*indices)[i] = value;
            } else {
                std::memcpy(&(*indices)[i], bytes.data() + i * 4, 4);
            }
        }
        return true;
    }

protected:
    void OnDeviceGone() override { Free(); }

private:
    void Free() { DeleteBuffer(Device() != nullptr, &buffer_); }
    GLuint buffer_;
};

class GLShader final : public DeviceShader {
public:
    GLShader(GraphicsDevice* device, ShaderStage stage, std::string path, ShaderConstantTable constants, GLuint shader)
        : DeviceShader(device, stage, std::move(path), std::move(constants)), shader_(shader)
    {
    }
    ~GLShader() override { Free(); }
    GLuint Name() const { return shader_; }

protected:
    void OnDeviceGone() override { Free(); }

private:
    void Free()
    {
        if (Device() && shader_) {
            static_cast<OpenGLDevice*>(Device())->ForgetShaderObject(shader_);
            glDeleteShader(shader_);
        }
        shader_ = 0;
    }
    GLuint shader_;
};

}  // namespace

// A linked pair of vertex and pixel stages, with the locations of the device's uniforms and of the
// bound shaders' constants, and which constant values it last received.
struct OpenGLDevice::Program {
    GLuint program = 0;
    GLint worldViewProj = -1;
    GLint screenSize = -1;
    GLint viewport = -1;
    GLint alphaTest = -1;
    GLint stageOps = -1;
    GLint colorArgs = -1;
    GLint alphaArgs = -1;
    GLint textureFactor = -1;
    std::vector<GLint> vertexLocations;
    std::vector<GLint> pixelLocations;
    const DeviceShader* uploadedVertex = nullptr;
    const DeviceShader* uploadedPixel = nullptr;
    uint64_t uploadedVertexVersion = 0;
    uint64_t uploadedPixelVersion = 0;
};

class OpenGLDevice::BackBuffer final : public RenderSurface {
public:
    BackBuffer(SDL_Window* window, const OpenGLDevice* device) : RenderSurface(nullptr), window_(window), device_(device) {}
    int Width() const override
    {
        if (device_->pictureWidth_ > 0) return device_->pictureWidth_;
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        return width;
    }
    int Height() const override
    {
        if (device_->pictureHeight_ > 0) return device_->pictureHeight_;
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(window_, &width, &height);
        return height;
    }

private:
    SDL_Window* window_;
    const OpenGLDevice* device_;
};

std::unique_ptr<OpenGLDevice> OpenGLDevice::Create(SDL_Window* window, std::string* error)
{
    if (!window) {
        if (error) *error = "no window";
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        if (error) *error = std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GL_MakeCurrent(window, context);
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not available";
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    std::unique_ptr<OpenGLDevice> device(new OpenGLDevice(window, context));
    std::string reason;
    if (!device->InitResources(&reason)) {
        if (error) *error = reason;
        return nullptr;
    }
    return device;
}

OpenGLDevice::OpenGLDevice(SDL_Window* window, void* context)
    : window_(window), context_(context), backBuffer_(std::make_unique<BackBuffer>(window, this))
{
}

OpenGLDevice::~OpenGLDevice()
{
    SDL_GL_MakeCurrent(window_, context_);
    DetachResources();
    DeleteSceneFramebuffer();
    for (auto& entry : programs_) glDeleteProgram(entry.second->program);
    programs_.clear();
    const GLuint shaders[] = {fixedVertexShader_, pretransformedVertexShader_, textureStagePixelShader_};
    for (GLuint shader : shaders) {
        if (shader) glDeleteShader(shader);
    }
    glDeleteTextures(1, &white2D_);
    glDeleteTextures(1, &white3D_);
    glDeleteSamplers(static_cast<GLsizei>(kMaxTextureStages), samplers_);
    glDeleteBuffers(1, &streamBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

bool OpenGLDevice::InitResources(std::string* error)
{
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &streamBuffer_);
    glGenSamplers(static_cast<GLsizei>(kMaxTextureStages), samplers_);
    glVertexAttrib4f(GLShaderText::kDiffuse, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(GLShaderText::kTexCoord0, 0.0f, 0.0f, 0.0f, 1.0f);
    glVertexAttrib4f(GLShaderText::kPosition, 0.0f, 0.0f, 0.0f, 1.0f);

    const uint8_t white[4] = {255, 255, 255, 255};
    white2D_ = MakeTexture(GL_TEXTURE_2D);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    white3D_ = MakeTexture(GL_TEXTURE_3D);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);

    anisotropy_ = epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                  epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");

    std::string messages;
    fixedVertexShader_ = CompileShader(GL_VERTEX_SHADER, GLShaderText::FixedVertexBody(), &messages);
    if (fixedVertexShader_) pretransformedVertexShader_ = CompileShader(GL_VERTEX_SHADER, GLShaderText::PretransformedVertexBody(), &messages);
    if (pretransformedVertexShader_) textureStagePixelShader_ = CompileShader(GL_FRAGMENT_SHADER, GLShaderText::TextureStageBody(), &messages);
    if (!textureStagePixelShader_) {
        if (error) *error = "the device's own shaders do not compile: " + messages;
        return false;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    DoSetRenderTarget(nullptr);
    if (glGetError() != GL_NO_ERROR) {
        if (error) *error = "OpenGL error while setting up";
        return false;
    }
    return true;
}

std::string OpenGLDevice::RendererName() const
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "?") + ", OpenGL " + (version ? version : "?");
}

void OpenGLDevice::SetSwapInterval(bool synchronised)
{
    if (!synchronised) {
        SDL_GL_SetSwapInterval(0);
        return;
    }
    if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
}

void OpenGLDevice::SetBackBufferSize(int width, int height)
{
    const bool valid = width > 0 && height > 0;
    pictureWidth_ = valid ? width : 0;
    pictureHeight_ = valid ? height : 0;
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
}

bool OpenGLDevice::Letterboxed() const
{
    if (pictureWidth_ <= 0) return false;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    return width != pictureWidth_ || height != pictureHeight_;
}

// The offscreen back buffer, made or remade at the picture's size on first use; 0 (the window's
// own) when the picture fits the window exactly.
unsigned int OpenGLDevice::BackBufferFramebuffer()
{
    if (!Letterboxed()) return 0;
    if (sceneFramebuffer_ != 0 && sceneWidth_ == pictureWidth_ && sceneHeight_ == pictureHeight_) return sceneFramebuffer_;
    DeleteSceneFramebuffer();
    glGenRenderbuffers(1, &sceneColor_);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneColor_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, pictureWidth_, pictureHeight_);
    glGenRenderbuffers(1, &sceneDepth_);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneDepth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, pictureWidth_, pictureHeight_);
    glGenFramebuffers(1, &sceneFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, sceneColor_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, sceneDepth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        // Without the offscreen buffer the picture is drawn into the window as it is.
        DeleteSceneFramebuffer();
        return 0;
    }
    sceneWidth_ = pictureWidth_;
    sceneHeight_ = pictureHeight_;
    return sceneFramebuffer_;
}

void OpenGLDevice::DeleteSceneFramebuffer()
{
    if (sceneFramebuffer_ != 0) glDeleteFramebuffers(1, &sceneFramebuffer_);
    if (sceneColor_ != 0) glDeleteRenderbuffers(1, &sceneColor_);
    if (sceneDepth_ != 0) glDeleteRenderbuffers(1, &sceneDepth_);
    sceneFramebuffer_ = sceneColor_ = sceneDepth_ = 0;
    sceneWidth_ = sceneHeight_ = 0;
}

// The offscreen frame onto the window: black bars, the picture scaled to fit with linear
// filtering. Only the pixel ownership and scissor tests touch a blit, so the scissor goes off.
void OpenGLDevice::ShowLetterboxed()
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    const LetterboxRect rect = LetterboxRect::Fit(width, height, sceneWidth_, sceneHeight_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlitFramebuffer(0, 0, sceneWidth_, sceneHeight_, rect.x, rect.y, rect.x + rect.width, rect.y + rect.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

RenderSurface* OpenGLDevice::GetBackBuffer()
{
    return backBuffer_.get();
}

std::unique_ptr<DeviceTexture> OpenGLDevice::CreateTexture(int width, int height, const uint8_t* rgba, bool mipmaps)
{
    if (!rgba || !SizeIsValid(width, height, 1)) return nullptr;
    const int levels = mipmaps ? MipLevelCount(width, height) : 1;
    GLuint texture = MakeTexture(GL_TEXTURE_2D);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    // The chain is made here rather than by the driver (MipLevel says why).
    MipLevel level{width, height, {}};
    for (int i = 1; i < levels; ++i) {
        level = MipLevel::Halve(i == 1 ? rgba : level.rgba.data(), level.width, level.height);
        glTexImage2D(GL_TEXTURE_2D, i, GL_RGBA8, level.width, level.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.rgba.data());
    }
    return std::make_unique<GLTexture>(this, TextureKind::Texture2D, width, height, 1, levels, texture);
}

std::unique_ptr<DeviceTexture> OpenGLDevice::CreateVolumeTexture(int width, int height, int depth, const uint8_t* rgba)
{
    if (!rgba || !SizeIsValid(width, height, depth) || static_cast<int64_t>(width) * height * depth > (1 << 26)) return nullptr;
    GLuint texture = MakeTexture(GL_TEXTURE_3D);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, width, height, depth, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);
    return std::make_unique<GLTexture>(this, TextureKind::Volume, width, height, depth, 1, texture);
}

std::unique_ptr<DeviceTexture> OpenGLDevice::CreateRenderTarget(int width, int height)
{
    if (!SizeIsValid(width, height, 1)) return nullptr;
    GLuint name = MakeTexture(GL_TEXTURE_2D);
    // Opaque colour: the alpha of what is drawn is not kept, reads give 1.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    auto texture = std::make_unique<GLTexture>(this, TextureKind::RenderTarget, width, height, 1, 1, name);
    const bool complete = texture->AttachFramebuffer();
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    if (!complete) return nullptr;
    return texture;
}

std::unique_ptr<VertexBuffer> OpenGLDevice::CreateVertexBuffer(const MeshVertex* vertices, uint32_t count)
{
    if (!vertices || count == 0) return nullptr;
    GLuint buffer = MakeBuffer(GL_COPY_WRITE_BUFFER, count * sizeof(MeshVertex), vertices);
    return std::make_unique<GLVertexBuffer>(this, count, buffer);
}

std::unique_ptr<IndexBuffer> OpenGLDevice::CreateIndexBuffer(const uint16_t* indices, uint32_t count)
{
    if (!indices || count == 0) return nullptr;
    GLuint buffer = MakeBuffer(GL_COPY_WRITE_BUFFER, count * sizeof(uint16_t), indices);
    return std::make_unique<GLIndexBuffer>(this, count, IndexFormat::Index16, buffer);
}

std::unique_ptr<IndexBuffer> OpenGLDevice::CreateIndexBuffer(const uint32_t* indices, uint32_t count)
{
    if (!indices || count == 0) return nullptr;
    GLuint buffer = MakeBuffer(GL_COPY_WRITE_BUFFER, count * sizeof(uint32_t), indices);
    return std::make_unique<GLIndexBuffer>(this, count, IndexFormat::Index32, buffer);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreateShader(ShaderStage stage, const char* path, std::string* messages)
{
    const bool vertex = stage == ShaderStage::Vertex;
    std::string source;
    std::string errors;
    if (!path || !ReadFile(path, &source)) {
        errors = std::string("cannot open shader source ") + (path ? path : "(null)");
        Log::Print(4, "%s\n", errors.c_str());
        if (messages) *messages = errors;
        return nullptr;
    }
    GLuint shader = CompileShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, source, &errors);
    if (shader == 0) {
        Log::Print(4, "%s does not compile:\n%s\n", path, errors.c_str());
        if (messages) *messages = errors;
        return nullptr;
    }
    // Linked with the device's own other half, the shader shows which constants it uses.
    GLuint program = LinkProgram(vertex ? shader : fixedVertexShader_, vertex ? textureStagePixelShader_ : shader, &errors);
    if (program == 0) {
        Log::Print(4, "%s does not link:\n%s\n", path, errors.c_str());
        if (messages) *messages = errors;
        glDeleteShader(shader);
        return nullptr;
    }
    ShaderConstantTable constants = ConstantTableOf(program);
    glDeleteProgram(program);
    if (messages) messages->clear();
    return std::make_unique<GLShader>(this, stage, path, std::move(constants), shader);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreateVertexShader(const char* path, std::string* messages)
{
    return CreateShader(ShaderStage::Vertex, path, messages);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreatePixelShader(const char* path, std::string* messages)
{
    return CreateShader(ShaderStage::Pixel, path, messages);
}

void OpenGLDevice::ForgetShaderObject(unsigned int shaderObject)
{
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.first == shaderObject || it->first.second == shaderObject) {
            glDeleteProgram(it->second->program);
            it = programs_.erase(it);
        } else {
            ++it;
        }
    }
}

bool OpenGLDevice::DrawingIntoTexture() const
{
    return const_cast<OpenGLDevice*>(this)->GetRenderTarget(0) != backBuffer_.get();
}

void OpenGLDevice::TargetSize(int* width, int* height)
{
    RenderSurface* target = GetRenderTarget(0);
    *width = std::max(target->Width(), 1);
    *height = std::max(target->Height(), 1);
}

void OpenGLDevice::DoSetRenderTarget(RenderSurface* surface)
{
    GLuint framebuffer = 0;
    if (surface && !surface->IsBackBuffer()) {
        framebuffer = static_cast<GLTexture::Surface*>(surface)->Texture()->Framebuffer();
    } else {
        framebuffer = BackBufferFramebuffer();
        drawnOffscreen_ = drawnOffscreen_ || framebuffer != 0;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const int width = surface ? surface->Width() : backBuffer_->Width();
    const int height = surface ? surface->Height() : backBuffer_->Height();
    glViewport(0, 0, width, height);
}

bool OpenGLDevice::DoClear(uint32_t flags, uint32_t color, float z, uint32_t stencil)
{
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    GLbitfield mask = 0;
    if (flags & ClearFlags::Target) {
        float rgba[4];
        UnpackColor(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & ClearFlags::ZBuffer) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & ClearFlags::Stencil) {
        glClearStencil(static_cast<GLint>(stencil));
        glStencilMask(0xff);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glDisable(GL_SCISSOR_TEST);
    glClear(mask);
    return true;
}

bool OpenGLDevice::DoPresent()
{
    if (drawnOffscreen_ && sceneFramebuffer_ != 0) ShowLetterboxed();
    SDL_GL_SwapWindow(window_);
    drawnOffscreen_ = false;
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    return true;
}

OpenGLDevice::Program* OpenGLDevice::ProgramFor(GLuint vertexShader, GLuint pixelShader, const DeviceShader* vs,
                                                const DeviceShader* ps)
{
    auto key = std::make_pair(vertexShader, pixelShader);
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second.get();

    std::string messages;
    GLuint linked = LinkProgram(vertexShader, pixelShader, &messages);
    if (linked == 0) {
        Log::Print(4, "shaders do not link:\n%s\n", messages.c_str());
        return nullptr;
    }
    auto program = std::make_unique<Program>();
    program->program = linked;
    program->worldViewProj = glGetUniformLocation(linked, "harnWorldViewProj");
    program->screenSize = glGetUniformLocation(linked, "harnScreenSize");
    program->viewport = glGetUniformLocation(linked, "harnViewport");
    program->alphaTest = glGetUniformLocation(linked, "harnAlphaTest");
    program->stageOps = glGetUniformLocation(linked, "harnStageOps");
    program->colorArgs = glGetUniformLocation(linked, "harnColorArgs");
    program->alphaArgs = glGetUniformLocation(linked, "harnAlphaArgs");
    program->textureFactor = glGetUniformLocation(linked, "harnTextureFactor");
    if (vs) {
        for (const ShaderConstant& constant : vs->Constants().Constants())
            program->vertexLocations.push_back(glGetUniformLocation(linked, constant.name.c_str()));
    }
    if (ps) {
        for (const ShaderConstant& constant : ps->Constants().Constants())
            program->pixelLocations.push_back(glGetUniformLocation(linked, constant.name.c_str()));
    }
    glUseProgram(linked);
    for (int stage = 0; stage < GLShaderText::kEmulatedStages; ++stage) {
        const std::string n = std::to_string(stage);
        glUniform1i(glGetUniformLocation(linked, ("s" + n).c_str()), stage);
        glUniform1i(glGetUniformLocation(linked, ("harnTex2D" + n).c_str()), stage);
        glUniform1i(glGetUniformLocation(linked, ("harnTex3D" + n).c_str()), GLShaderText::kVolumeUnitBase + stage);
    }
    Program* result = program.get();
    programs_[key] = std::move(program);
    return result;
}

OpenGLDevice::Program* OpenGLDevice::ProgramForDraw(bool pretransformed)
{
    const auto* vs = static_cast<const GLShader*>(GetVertexShader());
    const auto* ps = static_cast<const GLShader*>(GetPixelShader());
    // Screen-pixel vertices are already transformed: the vertex shader does not run for them.
    if (pretransformed) vs = nullptr;
    GLuint vertex = vs ? vs->Name() : (pretransformed ? pretransformedVertexShader_ : fixedVertexShader_);
    GLuint pixel = ps ? ps->Name() : textureStagePixelShader_;
    if (vertex == 0 || pixel == 0) return nullptr;
    return ProgramFor(vertex, pixel, vs, ps);
}

namespace {

void Upload(GLint location, const ShaderConstant& constant)
{
    if (location < 0) return;
    const float* v = constant.value;
    switch (constant.type) {
    case ConstantType::Float: glUniform1f(location, v[0]); break;
    case ConstantType::Bool:
    case ConstantType::Int: glUniform1i(location, static_cast<GLint>(v[0])); break;
    case ConstantType::Vec2: glUniform2fv(location, 1, v); break;
    case ConstantType::Vec3: glUniform3fv(location, 1, v); break;
    case ConstantType::Vec4: glUniform4fv(location, 1, v); break;
    // The engine's matrices are row-major for row vectors; `v * M` in GLSL wants M transposed in.
    case ConstantType::Matrix4: glUniformMatrix4fv(location, 1, GL_TRUE, v); break;
    case ConstantType::Sampler: break;
    }
}

void UploadTable(const DeviceShader* shader, const std::vector<GLint>& locations, const DeviceShader** uploaded,
                 uint64_t* version)
{
    if (!shader) return;
    const ShaderConstantTable& table = shader->Constants();
    if (*uploaded == shader && *version == table.Version()) return;
    const auto& constants = table.Constants();
    for (size_t i = 0; i < constants.size() && i < locations.size(); ++i) Upload(locations[i], constants[i]);
    *uploaded = shader;
    *version = table.Version();
}

}  // namespace

void OpenGLDevice::UploadConstants(Program* program)
{
    UploadTable(GetVertexShader(), program->vertexLocations, &program->uploadedVertex, &program->uploadedVertexVersion);
    UploadTable(GetPixelShader(), program->pixelLocations, &program->uploadedPixel, &program->uploadedPixelVersion);
}

void OpenGLDevice::ApplyTargetSize(Program* program)
{
    int width = 0, height = 0;
    TargetSize(&width, &height);
    const bool flipped = DrawingIntoTexture();
    const float viewport[4] = {1.0f / static_cast<float>(width),
                               (flipped ? 1.0f : -1.0f) / static_cast<float>(height), flipped ? -1.0f : 1.0f, 0.0f};
    glUniform4fv(program->viewport, 1, viewport);
    if (program->screenSize >= 0) glUniform2f(program->screenSize, static_cast<float>(width), static_cast<float>(height));
    glViewport(0, 0, width, height);
}

void OpenGLDevice::ApplyState(Program* program)
{
    glUseProgram(program->program);
    ApplyTargetSize(program);

    if (GetRenderState(RenderState::ZEnable)) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthMask(GetRenderState(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    glDepthFunc(CompareFunction(GetRenderState(RenderState::ZFunc)));

    const uint32_t cull = GetRenderState(RenderState::CullMode);
    if (cull == Cull::CW || cull == Cull::CCW) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        // The back buffer shows windings as OpenGL counts them; render targets are drawn upside
        // down, which reverses them.
        const bool frontIsClockwise = (cull == Cull::CCW) != DrawingIntoTexture();
        glFrontFace(frontIsClockwise ? GL_CW : GL_CCW);
    } else {
        glDisable(GL_CULL_FACE);
    }

    if (GetRenderState(RenderState::AlphaBlendEnable)) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(GetRenderState(RenderState::SrcBlend)), BlendFactor(GetRenderState(RenderState::DestBlend)));
    } else {
        glDisable(GL_BLEND);
    }
    const bool alphaTest = GetRenderState(RenderState::AlphaTestEnable) != 0;
    glUniform2i(program->alphaTest, alphaTest ? static_cast<GLint>(GetRenderState(RenderState::AlphaFunc)) : static_cast<GLint>(Compare::Always),
                static_cast<GLint>(GetRenderState(RenderState::AlphaRef) & 0xff));

    if (program->worldViewProj >= 0) {
        const Matrix wvp = GetTransform(TransformType::World) * GetTransform(TransformType::View) *
                           GetTransform(TransformType::Projection);
        glUniformMatrix4fv(program->worldViewProj, 1, GL_TRUE, wvp.m);
    }
    if (program->textureFactor >= 0) {
        float factor[4];
        UnpackColor(GetRenderState(RenderState::TextureFactor), factor);
        glUniform4fv(program->textureFactor, 1, factor);
    }
    ApplyTextures(program);
    UploadConstants(program);
}

namespace {

GLint MinFilter(uint32_t minFilter, uint32_t mipFilter)
{
    const bool linear = minFilter != TextureFilterType::Point && minFilter != TextureFilterType::None;
    if (mipFilter == TextureFilterType::None) return linear ? GL_LINEAR : GL_NEAREST;
    if (mipFilter == TextureFilterType::Point) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

// The stage flags that ask the stage code for the absolute coordinate on each mirror-once axis.
GLint MirrorOnceFlags(const GraphicsDevice& device, uint32_t stage)
{
    GLint flags = 0;
    if (device.GetSamplerState(stage, SamplerState::AddressU) == TextureAddress::MirrorOnce) flags |= 4;
    if (device.GetSamplerState(stage, SamplerState::AddressV) == TextureAddress::MirrorOnce) flags |= 8;
    if (device.GetSamplerState(stage, SamplerState::AddressW) == TextureAddress::MirrorOnce) flags |= 16;
    return flags;
}

}  // namespace

void OpenGLDevice::ApplyTextures(Program* program)
{
    GLint ops[GLShaderText::kEmulatedStages * 4];
    GLint colorArgs[GLShaderText::kEmulatedStages * 4];
    GLint alphaArgs[GLShaderText::kEmulatedStages * 4];
    for (uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
        auto* texture = static_cast<GLTexture*>(GetTexture(stage));
        const bool volume = texture && texture->Kind() == TextureKind::Volume;
        glActiveTexture(GL_TEXTURE0 + stage);
        glBindTexture(GL_TEXTURE_2D, texture && !volume ? texture->Name() : white2D_);
        glActiveTexture(GL_TEXTURE0 + GLShaderText::kVolumeUnitBase + stage);
        glBindTexture(GL_TEXTURE_3D, volume ? texture->Name() : white3D_);

        auto address = [&](SamplerState state) -> GLint {
            switch (GetSamplerState(stage, state)) {
            case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
            case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
            // Mirror-once is the absolute coordinate clamped to the edge: the stage code takes the
            // absolute value (flags below), so every driver gives the same reach.
            case TextureAddress::MirrorOnce: return GL_CLAMP_TO_EDGE;
            default: return GL_REPEAT;
            }
        };
        const GLuint sampler = samplers_[stage];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, address(SamplerState::AddressU));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, address(SamplerState::AddressV));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, address(SamplerState::AddressW));
        const uint32_t mag = GetSamplerState(stage, SamplerState::MagFilter);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                            mag == TextureFilterType::Point || mag == TextureFilterType::None ? GL_NEAREST : GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                            MinFilter(GetSamplerState(stage, SamplerState::MinFilter), GetSamplerState(stage, SamplerState::MipFilter)));
        if (anisotropy_) {
            const float anisotropy = static_cast<float>(std::clamp<uint32_t>(GetSamplerState(stage, SamplerState::MaxAnisotropy), 1, 16));
            glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, anisotropy);
        }
        glBindSampler(stage, sampler);
        glBindSampler(GLShaderText::kVolumeUnitBase + stage, sampler);

        if (stage >= static_cast<uint32_t>(GLShaderText::kEmulatedStages)) continue;
        GLint* op = ops + stage * 4;
        op[0] = static_cast<GLint>(GetTextureStageState(stage, StageState::ColorOp));
        op[1] = static_cast<GLint>(GetTextureStageState(stage, StageState::AlphaOp));
        op[2] = static_cast<GLint>(GetTextureStageState(stage, StageState::TexCoordIndex) & 3);
        op[3] = (texture ? 1 : 0) | (volume ? 2 : 0) | MirrorOnceFlags(*this, stage);
        GLint* color = colorArgs + stage * 4;
        color[0] = static_cast<GLint>(GetTextureStageState(stage, StageState::ColorArg0));
        color[1] = static_cast<GLint>(GetTextureStageState(stage, StageState::ColorArg1));
        color[2] = static_cast<GLint>(GetTextureStageState(stage, StageState::ColorArg2));
        color[3] = 0;
        GLint* alpha = alphaArgs + stage * 4;
        alpha[0] = static_cast<GLint>(GetTextureStageState(stage, StageState::AlphaArg0));
        alpha[1] = static_cast<GLint>(GetTextureStageState(stage, StageState::AlphaArg1));
        alpha[2] = static_cast<GLint>(GetTextureStageState(stage, StageState::AlphaArg2));
        alpha[3] = 0;
    }
    glActiveTexture(GL_TEXTURE0);
    if (program->stageOps >= 0) {
        glUniform4iv(program->stageOps, GLShaderText::kEmulatedStages, ops);
        glUniform4iv(program->colorArgs, GLShaderText::kEmulatedStages, colorArgs);
        glUniform4iv(program->alphaArgs, GLShaderText::kEmulatedStages, alphaArgs);
    }
}

bool OpenGLDevice::DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride)
{
    const bool pretransformed = (GetFVF() & Fvf::XYZRHW) != 0;
    Program* program = ProgramForDraw(pretransformed);
    if (!program) return false;
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    ApplyState(program);
    const GLsizei count = VertexCount(type, primitiveCount);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<size_t>(count) * stride), vertices, GL_STREAM_DRAW);
    SetVertexLayout(GetFVF());
    glDrawArrays(PrimitiveMode(type), 0, count);
    return true;
}

bool OpenGLDevice::DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount)
{
    const auto* vertices = static_cast<const GLVertexBuffer*>(GetStreamSource());
    const auto* indices = static_cast<const GLIndexBuffer*>(GetIndices());
    Program* program = ProgramForDraw(false);
    if (!program || vertices->Name() == 0 || indices->Name() == 0) return false;
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    ApplyState(program);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertices->Name());
    SetMeshLayout();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->Name());
    const GLenum indexType = indices->Format() == IndexFormat::Index16 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
    glDrawElements(PrimitiveMode(type), VertexCount(type, primitiveCount), indexType, Offset(startIndex * indices->IndexSize()));
    return true;
}

bool OpenGLDevice::ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba)
{
    int targetWidth = 0, targetHeight = 0;
    TargetSize(&targetWidth, &targetHeight);
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > targetWidth || y + height > targetHeight) return false;
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
    const bool flipped = DrawingIntoTexture();
    rgba->assign(static_cast<size_t>(width) * height * 4, 0);
    const int glY = flipped ? y : targetHeight - y - height;
    glReadPixels(x, glY, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
    if (!flipped) {
        // The back buffer's rows come bottom-up.
        const size_t row = static_cast<size_t>(width) * 4;
        for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(rgba->begin() + static_cast<std::ptrdiff_t>(top * row),
                             rgba->begin() + static_cast<std::ptrdiff_t>((top + 1) * row),
                             rgba->begin() + static_cast<std::ptrdiff_t>(bottom * row));
    }
    return true;
}
