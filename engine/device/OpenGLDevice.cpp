#include "engine/device/OpenGLDevice.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>

#include "engine/platform/Log.h"
#include "engine/device/ShaderRegisterScan.h"
#include "engine/device/ShaderSourceFile.h"
#include "engine/device/GLShaderText.h"
#include "engine/device/MipLevel.h"
#include "engine/device/LetterboxRect.h"
#include "engine/device/TextureStageSetup.h"

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
// keep their generic values (white diffuse, texture coordinate (0, 0, 0, 1)). The count of calls.
int SetVertexLayout(uint32_t fvf)
{
    using namespace GLShaderText;
    for (GLuint location = 0; location <= kDiffuse; ++location) glDisableVertexAttribArray(location);
    switch (fvf) {
    case QuadVertex::kFvf:
        Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), 0);
        Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), 12);
        return 10;
    case ParticleVertex::kFvf:
        Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(ParticleVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ParticleVertex), 12);
        Attribute(kTexCoord0, 4, GL_FLOAT, GL_FALSE, sizeof(ParticleVertex), 16);
        return 12;
    case ScreenVertex::kFvf:
        Attribute(kPosition, 4, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenVertex), 16);
        Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), 20);
        return 12;
    case ScreenColorVertex::kFvf:
        Attribute(kPosition, 4, GL_FLOAT, GL_FALSE, sizeof(ScreenColorVertex), 0);
        Attribute(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenColorVertex), 16);
        return 10;
    default: return 6;
    }
}

// The mesh vertex layout on the bound array buffer; the count of calls.
int SetMeshLayout()
{
    using namespace GLShaderText;
    for (GLuint location = 0; location <= kDiffuse; ++location) glDisableVertexAttribArray(location);
    Attribute(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, position));
    Attribute(kNormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, normal));
    Attribute(kTexCoord0, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, texCoord));
    Attribute(kTangent, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, tangent));
    Attribute(kBinormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), offsetof(MeshVertex, binormal));
    return 16;
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

// Compiles prelude + defines + body + epilogue; 0 with the compiler's messages in *messages on
// failure. The body's lines keep their numbers. A pixel shader's epilogue has the alpha test or not.
GLuint CompileShader(GLenum kind, const std::string& body, std::string* messages, const std::vector<ShaderDefine>& defines = {},
                     bool alphaTest = true)
{
    const bool vertex = kind == GL_VERTEX_SHADER;
    std::string defined;
    for (const ShaderDefine& define : defines) defined += "#define " + define.name + " " + define.value + "\n";
    defined += "#line 1\n";
    const char* parts[4] = {vertex ? GLShaderText::VertexPrelude() : GLShaderText::PixelPrelude(), defined.c_str(),
                            body.c_str(), vertex ? GLShaderText::VertexEpilogue() : GLShaderText::PixelEpilogue(alphaTest)};
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 4, parts, nullptr);
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
    const bool volume = name.size() == 3 && name[1] == 'v';
    return (name.size() == 2 || volume) && name[0] == 's' && name.back() >= '0' && name.back() <= '3';
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

// A new texture name, bound on the active unit for filling.
GLuint MakeTexture(GLStateCache& state, GLenum target)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    state.ForgetActiveUnitTextures();
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
        static_cast<OpenGLDevice*>(Device())->BoundState().ForgetActiveUnitTextures();
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
        GLStateCache& state = static_cast<OpenGLDevice*>(Device())->BoundState();
        state.ForgetTexture(texture_);
        if (framebuffer_) state.ForgetFramebuffer();
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

// A mesh's vertices, with the vertex array that draws them: made at the first draw with the mesh
// layout, it keeps the index buffer last drawn with (named by serial, since OpenGL reuses the names
// of deleted buffers).
class GLVertexBuffer final : public VertexBuffer {
public:
    GLVertexBuffer(GraphicsDevice* device, uint32_t count, GLuint buffer) : VertexBuffer(device, count), buffer_(buffer) {}
    ~GLVertexBuffer() override { Free(); }
    GLuint Name() const { return buffer_; }

    // Binds the vertex array for drawing with these indices.
    void BindForDrawing(GLStateCache& state, GLuint indices, uint64_t indicesSerial)
    {
        if (vertexArray_ == 0) {
            glGenVertexArrays(1, &vertexArray_);
            state.BindVertexArray(vertexArray_);
            state.BindArrayBuffer(buffer_);
            state.Counts().buffers += SetMeshLayout();
        }
        state.BindVertexArray(vertexArray_);
        if (indicesSerial_ == indicesSerial) return;
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
        ++state.Counts().buffers;
        indicesSerial_ = indicesSerial;
    }

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
    void Free()
    {
        if (Device() && vertexArray_) {
            static_cast<OpenGLDevice*>(Device())->BoundState().ForgetVertexArray(vertexArray_);
            glDeleteVertexArrays(1, &vertexArray_);
        }
        vertexArray_ = 0;
        DeleteBuffer(Device() != nullptr, &buffer_);
    }
    GLuint buffer_;
    GLuint vertexArray_ = 0;
    uint64_t indicesSerial_ = 0;
};

class GLIndexBuffer final : public IndexBuffer {
public:
    GLIndexBuffer(GraphicsDevice* device, uint32_t count, IndexFormat format, GLuint buffer, uint64_t serial)
        : IndexBuffer(device, count, format), buffer_(buffer), serial_(serial)
    {
    }
    ~GLIndexBuffer() override { Free(); }
    GLuint Name() const { return buffer_; }
    uint64_t Serial() const { return serial_; }
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
    uint64_t serial_;
};

// A pixel shader has two compiled objects: one with the alpha test, one without for draws that
// test nothing.
class GLShader final : public DeviceShader {
public:
    GLShader(GraphicsDevice* device, ShaderStage stage, std::string path, ShaderConstantTable constants, GLuint shader,
             GLuint untested)
        : DeviceShader(device, stage, std::move(path), std::move(constants)), shader_(shader), untested_(untested)
    {
    }
    ~GLShader() override { Free(); }
    GLuint Name(bool alphaTest = true) const { return alphaTest || untested_ == 0 ? shader_ : untested_; }

protected:
    void OnDeviceGone() override { Free(); }

private:
    void Free()
    {
        if (Device()) {
            for (GLuint* object : {&shader_, &untested_}) {
                if (*object == 0) continue;
                static_cast<OpenGLDevice*>(Device())->ForgetShaderObject(*object);
                glDeleteShader(*object);
            }
        }
        shader_ = untested_ = 0;
    }
    GLuint shader_;
    GLuint untested_;
};

}  // namespace

// A linked pair of vertex and pixel stages, with the locations of the device's uniforms and of the
// bound shaders' constants, and which constant values it last received.
// A linked pair of vertex and pixel stages, with the locations of the device's uniforms and of the
// bound shaders' constants, and the values it last received (uniforms belong to the program).
struct OpenGLDevice::Program {
    GLuint program = 0;
    GLint worldViewProj = -1;
    GLint screenSize = -1;
    GLint viewport = -1;
    GLint alphaTest = -1;
    GLint textureFactor = -1;
    std::vector<GLint> vertexLocations;
    std::vector<GLint> pixelLocations;
    // The constant versions uploaded; kNever before the first upload.
    std::vector<uint64_t> vertexVersions;
    std::vector<uint64_t> pixelVersions;
    bool deviceUniformsKnown = false;
    float viewportValue[4] = {};
    float screenSizeValue[2] = {};
    GLint alphaTestValue[2] = {};
    uint32_t textureFactorValue = 0;
    Matrix worldViewProjValue;
    bool worldViewProjKnown = false;
};

namespace {

constexpr uint64_t kNever = ~uint64_t{0};

}  // namespace

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
    for (auto& shaders : stageShaders_) {
        for (auto& entry : shaders) {
            if (entry.second) glDeleteShader(entry.second);
        }
        shaders.clear();
    }
    const GLuint shaders[] = {fixedVertexShader_, pretransformedVertexShader_, everyInputPixelShader_};
    for (GLuint shader : shaders) {
        if (shader) glDeleteShader(shader);
    }
    glDeleteTextures(1, &white2D_);
    glDeleteTextures(1, &white3D_);
    glDeleteSamplers(static_cast<GLsizei>(kMaxTextureStages), samplers_);
    glDeleteBuffers(1, &streamBuffer_);
    for (const auto& entry : streamArrays_) glDeleteVertexArrays(1, &entry.second);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

bool OpenGLDevice::InitResources(std::string* error)
{
    glGenBuffers(1, &streamBuffer_);
    glGenSamplers(static_cast<GLsizei>(kMaxTextureStages), samplers_);
    glVertexAttrib4f(GLShaderText::kDiffuse, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(GLShaderText::kTexCoord0, 0.0f, 0.0f, 0.0f, 1.0f);
    glVertexAttrib4f(GLShaderText::kPosition, 0.0f, 0.0f, 0.0f, 1.0f);

    const uint8_t white[4] = {255, 255, 255, 255};
    white2D_ = MakeTexture(state_, GL_TEXTURE_2D);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    white3D_ = MakeTexture(state_, GL_TEXTURE_3D);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);

    anisotropy_ = epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                  epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");

    std::string messages;
    fixedVertexShader_ = CompileShader(GL_VERTEX_SHADER, GLShaderText::FixedVertexBody(), &messages);
    if (fixedVertexShader_) pretransformedVertexShader_ = CompileShader(GL_VERTEX_SHADER, GLShaderText::PretransformedVertexBody(), &messages);
    if (pretransformedVertexShader_) everyInputPixelShader_ = CompileShader(GL_FRAGMENT_SHADER, GLShaderText::EveryInputPixelBody(0), &messages);
    if (!everyInputPixelShader_) {
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
    ApplyRenderTarget();
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
    state_.ForgetFramebuffer();
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
    state_.ForgetFramebuffer();
}

// The offscreen frame onto the window: black bars, the picture scaled to fit with linear
// filtering. Only the pixel ownership and scissor tests touch a blit, so the scissor goes off.
void OpenGLDevice::ShowLetterboxed()
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    const LetterboxRect rect = LetterboxRect::Fit(width, height, sceneWidth_, sceneHeight_);
    state_.ForgetFramebuffer();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    state_.Viewport(width, height);
    state_.ScissorOff();
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
    GLuint texture = MakeTexture(state_, GL_TEXTURE_2D);
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
    GLuint texture = MakeTexture(state_, GL_TEXTURE_3D);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, width, height, depth, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);
    return std::make_unique<GLTexture>(this, TextureKind::Volume, width, height, depth, 1, texture);
}

std::unique_ptr<DeviceTexture> OpenGLDevice::CreateRenderTarget(int width, int height)
{
    if (!SizeIsValid(width, height, 1)) return nullptr;
    GLuint name = MakeTexture(state_, GL_TEXTURE_2D);
    // Opaque colour: the alpha of what is drawn is not kept, reads give 1.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    auto texture = std::make_unique<GLTexture>(this, TextureKind::RenderTarget, width, height, 1, 1, name);
    const bool complete = texture->AttachFramebuffer();
    state_.ForgetFramebuffer();
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
    return std::make_unique<GLIndexBuffer>(this, count, IndexFormat::Index16, buffer, ++indexBufferSerial_);
}

std::unique_ptr<IndexBuffer> OpenGLDevice::CreateIndexBuffer(const uint32_t* indices, uint32_t count)
{
    if (!indices || count == 0) return nullptr;
    GLuint buffer = MakeBuffer(GL_COPY_WRITE_BUFFER, count * sizeof(uint32_t), indices);
    return std::make_unique<GLIndexBuffer>(this, count, IndexFormat::Index32, buffer, ++indexBufferSerial_);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreateShader(ShaderStage stage, const char* path, std::string* messages,
                                                         const std::vector<ShaderDefine>& defines)
{
    const bool vertex = stage == ShaderStage::Vertex;
    std::string source;
    std::string errors;
    if (!path || !ReadShaderSourceFile(path, &source)) {
        errors = std::string("cannot open shader source ") + (path ? path : "(null)");
        Log::Print(4, "%s\n", errors.c_str());
        if (messages) *messages = errors;
        return nullptr;
    }
    GLuint shader = CompileShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, source, &errors, defines);
    if (shader == 0) {
        Log::Print(4, "%s does not compile:\n%s\n", path, errors.c_str());
        if (messages) *messages = errors;
        return nullptr;
    }
    // Linked with the device's own other half, the shader shows which constants it uses. A vertex
    // shader writing extra registers gets a half that reads those too (and no more, since drivers
    // may pass as few as sixteen registers to a pixel shader).
    GLuint program = 0;
    if (!vertex) {
        program = LinkProgram(fixedVertexShader_, shader, &errors);
    } else if (const unsigned extra = ExtraRegistersWritten(source, defines); extra == 0) {
        program = LinkProgram(shader, everyInputPixelShader_, &errors);
    } else if (GLuint reader = CompileShader(GL_FRAGMENT_SHADER, GLShaderText::EveryInputPixelBody(extra), &errors)) {
        program = LinkProgram(shader, reader, &errors);
        glDeleteShader(reader);
    }
    if (program == 0) {
        Log::Print(4, "%s does not link:\n%s\n", path, errors.c_str());
        if (messages) *messages = errors;
        glDeleteShader(shader);
        return nullptr;
    }
    ShaderConstantTable constants = ConstantTableOf(program);
    glDeleteProgram(program);
    // Compiled as the tested one was, so it cannot fail where that did not; if it does anyway,
    // draws use the tested one.
    const GLuint untested = vertex ? 0 : CompileShader(GL_FRAGMENT_SHADER, source, &errors, defines, false);
    if (messages) messages->clear();
    return std::make_unique<GLShader>(this, stage, path, std::move(constants), shader, untested);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreateVertexShader(const char* path, std::string* messages,
                                                               const std::vector<ShaderDefine>& defines)
{
    return CreateShader(ShaderStage::Vertex, path, messages, defines);
}

std::unique_ptr<DeviceShader> OpenGLDevice::CreatePixelShader(const char* path, std::string* messages,
                                                              const std::vector<ShaderDefine>& defines)
{
    return CreateShader(ShaderStage::Pixel, path, messages, defines);
}

void OpenGLDevice::ForgetShaderObject(unsigned int shaderObject)
{
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.first == shaderObject || it->first.second == shaderObject) {
            state_.ForgetProgram(it->second->program);
            glDeleteProgram(it->second->program);
            it = programs_.erase(it);
        } else {
            ++it;
        }
    }
    lastProgram_ = nullptr;
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
    state_.BindFramebuffer(framebuffer);
    const int width = surface ? surface->Width() : backBuffer_->Width();
    const int height = surface ? surface->Height() : backBuffer_->Height();
    state_.Viewport(width, height);
}

void OpenGLDevice::ApplyRenderTarget()
{
    DoSetRenderTarget(GetRenderTarget(0)->IsBackBuffer() ? nullptr : GetRenderTarget(0));
}

bool OpenGLDevice::DoClear(uint32_t flags, uint32_t color, float z, uint32_t stencil)
{
    ApplyRenderTarget();
    GLbitfield mask = 0;
    if (flags & ClearFlags::Target) {
        float rgba[4];
        UnpackColor(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & ClearFlags::ZBuffer) {
        glClearDepth(z);
        state_.DepthMask(true);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & ClearFlags::Stencil) {
        glClearStencil(static_cast<GLint>(stencil));
        glStencilMask(0xff);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    state_.ScissorOff();
    glClear(mask);
    return true;
}

bool OpenGLDevice::DoPresent()
{
    if (drawnOffscreen_ && sceneFramebuffer_ != 0) ShowLetterboxed();
    SDL_GL_SwapWindow(window_);
    drawnOffscreen_ = false;
    ApplyRenderTarget();
    return true;
}

GLuint OpenGLDevice::StagePixelShader(const TextureStageSetup& setup, bool alphaTest)
{
    std::map<TextureStageSetup, unsigned int>& shaders = stageShaders_[alphaTest ? 1 : 0];
    auto found = shaders.find(setup);
    if (found != shaders.end()) return found->second;
    std::string messages;
    const GLuint shader = CompileShader(GL_FRAGMENT_SHADER, setup.PixelBody(), &messages, {}, alphaTest);
    // A failure is kept too, so that it is reported once and not at every draw.
    if (shader == 0) Log::Print(4, "the texture stages' program does not compile:\n%s\n", messages.c_str());
    shaders.emplace(setup, shader);
    return shader;
}

// Only a test that can drop a pixel needs the tested program.
bool OpenGLDevice::AlphaTested() const
{
    return GetRenderState(RenderState::AlphaTestEnable) != 0 && GetRenderState(RenderState::AlphaFunc) != Compare::Always;
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
    program->textureFactor = glGetUniformLocation(linked, "harnTextureFactor");
    if (vs) {
        for (const ShaderConstant& constant : vs->Constants().Constants())
            program->vertexLocations.push_back(glGetUniformLocation(linked, constant.name.c_str()));
    }
    if (ps) {
        for (const ShaderConstant& constant : ps->Constants().Constants())
            program->pixelLocations.push_back(glGetUniformLocation(linked, constant.name.c_str()));
    }
    program->vertexVersions.assign(program->vertexLocations.size(), kNever);
    program->pixelVersions.assign(program->pixelLocations.size(), kNever);
    state_.UseProgram(linked);
    for (int stage = 0; stage < GLShaderText::kEmulatedStages; ++stage) {
        const std::string n = std::to_string(stage);
        glUniform1i(glGetUniformLocation(linked, ("s" + n).c_str()), stage);
        glUniform1i(glGetUniformLocation(linked, ("sv" + n).c_str()), GLShaderText::kVolumeUnitBase + stage);
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
    const bool alphaTest = AlphaTested();
    GLuint pixel = ps ? ps->Name(alphaTest) : 0;
    if (!ps) {
        const TextureStageSetup setup = TextureStageSetup::Of(*this);
        if (!(setup == lastSetup_) || alphaTest != lastStageTested_ || lastStageShader_ == 0) {
            lastSetup_ = setup;
            lastStageTested_ = alphaTest;
            lastStageShader_ = StagePixelShader(setup, alphaTest);
        }
        pixel = lastStageShader_;
    }
    if (vertex == 0 || pixel == 0) return nullptr;
    if (lastProgram_ && lastVertex_ == vertex && lastPixel_ == pixel) return lastProgram_;
    Program* program = ProgramFor(vertex, pixel, vs, ps);
    lastProgram_ = program;
    lastVertex_ = vertex;
    lastPixel_ = pixel;
    return program;
}

namespace {

void Upload(GLint location, const ShaderConstant& constant)
{
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

// Uploads the constants whose value changed since this program last received them; the count of
// uniforms written.
uint64_t UploadChanged(const DeviceShader* shader, const std::vector<GLint>& locations, std::vector<uint64_t>* versions)
{
    if (!shader) return 0;
    const auto& constants = shader->Constants().Constants();
    uint64_t written = 0;
    for (size_t i = 0; i < constants.size() && i < locations.size(); ++i) {
        if ((*versions)[i] == constants[i].version) continue;
        (*versions)[i] = constants[i].version;
        if (locations[i] < 0) continue;
        Upload(locations[i], constants[i]);
        ++written;
    }
    return written;
}

bool SameFloats(const float* a, const float* b, size_t count)
{
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

}  // namespace

void OpenGLDevice::UploadConstants(Program* program)
{
    GLStateCache::Work& work = state_.Counts();
    work.uniforms += UploadChanged(GetVertexShader(), program->vertexLocations, &program->vertexVersions);
    work.uniforms += UploadChanged(GetPixelShader(), program->pixelLocations, &program->pixelVersions);
}

// harnViewport and harnScreenSize follow the target; the alpha test, the texture factor and (for
// the fixed vertex stage) world × view × projection follow the render states.
void OpenGLDevice::UploadDeviceUniforms(Program* program)
{
    int width = 0, height = 0;
    TargetSize(&width, &height);
    const bool flipped = DrawingIntoTexture();
    const float viewport[4] = {1.0f / static_cast<float>(width),
                               (flipped ? 1.0f : -1.0f) / static_cast<float>(height), flipped ? -1.0f : 1.0f, 0.0f};
    const float screenSize[2] = {static_cast<float>(width), static_cast<float>(height)};
    const bool alphaTestOn = GetRenderState(RenderState::AlphaTestEnable) != 0;
    const GLint alphaTest[2] = {static_cast<GLint>(alphaTestOn ? GetRenderState(RenderState::AlphaFunc) : Compare::Always),
                                static_cast<GLint>(GetRenderState(RenderState::AlphaRef) & 0xff)};
    const uint32_t textureFactor = GetRenderState(RenderState::TextureFactor);
    const bool known = program->deviceUniformsKnown;
    program->deviceUniformsKnown = true;
    GLStateCache::Work& work = state_.Counts();
    if (!known || !SameFloats(viewport, program->viewportValue, 4)) {
        std::memcpy(program->viewportValue, viewport, sizeof viewport);
        glUniform4fv(program->viewport, 1, viewport);
        ++work.uniforms;
    }
    if (program->screenSize >= 0 && (!known || !SameFloats(screenSize, program->screenSizeValue, 2))) {
        std::memcpy(program->screenSizeValue, screenSize, sizeof screenSize);
        glUniform2fv(program->screenSize, 1, screenSize);
        ++work.uniforms;
    }
    if (!known || alphaTest[0] != program->alphaTestValue[0] || alphaTest[1] != program->alphaTestValue[1]) {
        program->alphaTestValue[0] = alphaTest[0];
        program->alphaTestValue[1] = alphaTest[1];
        glUniform2i(program->alphaTest, alphaTest[0], alphaTest[1]);
        ++work.uniforms;
    }
    if (program->textureFactor >= 0 && (!known || textureFactor != program->textureFactorValue)) {
        program->textureFactorValue = textureFactor;
        float factor[4];
        UnpackColor(textureFactor, factor);
        glUniform4fv(program->textureFactor, 1, factor);
        ++work.uniforms;
    }
    if (program->worldViewProj >= 0) {
        const Matrix wvp = GetTransform(TransformType::World) * GetTransform(TransformType::View) *
                           GetTransform(TransformType::Projection);
        if (!program->worldViewProjKnown || !SameFloats(wvp.m, program->worldViewProjValue.m, 16)) {
            program->worldViewProjKnown = true;
            program->worldViewProjValue = wvp;
            glUniformMatrix4fv(program->worldViewProj, 1, GL_TRUE, wvp.m);
            ++work.uniforms;
        }
    }
}

void OpenGLDevice::ApplyFixedStates()
{
    state_.DepthTest(GetRenderState(RenderState::ZEnable) != 0);
    state_.DepthMask(GetRenderState(RenderState::ZWriteEnable) != 0);
    state_.DepthFunc(CompareFunction(GetRenderState(RenderState::ZFunc)));
    const uint32_t cull = GetRenderState(RenderState::CullMode);
    // The back buffer shows windings as OpenGL counts them; render targets are drawn upside down,
    // which reverses them.
    const bool frontIsClockwise = (cull == Cull::CCW) != DrawingIntoTexture();
    state_.Cull(cull == Cull::CW || cull == Cull::CCW, frontIsClockwise ? GL_CW : GL_CCW);
    state_.Blend(GetRenderState(RenderState::AlphaBlendEnable) != 0, BlendFactor(GetRenderState(RenderState::SrcBlend)),
                 BlendFactor(GetRenderState(RenderState::DestBlend)));
}

namespace {

GLint MinFilter(uint32_t minFilter, uint32_t mipFilter)
{
    const bool linear = minFilter != TextureFilterType::Point && minFilter != TextureFilterType::None;
    if (mipFilter == TextureFilterType::None) return linear ? GL_LINEAR : GL_NEAREST;
    if (mipFilter == TextureFilterType::Point) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLint AddressMode(uint32_t address)
{
    switch (address) {
    case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    // Mirror-once is the absolute coordinate clamped to the edge: the pixel programs take the
    // absolute value, so every driver gives the same reach.
    case TextureAddress::MirrorOnce: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLStateCache::SamplerParameters SamplerParametersOf(const GraphicsDevice& device, uint32_t stage, bool anisotropy)
{
    GLStateCache::SamplerParameters parameters;
    parameters.wrapS = AddressMode(device.GetSamplerState(stage, SamplerState::AddressU));
    parameters.wrapT = AddressMode(device.GetSamplerState(stage, SamplerState::AddressV));
    parameters.wrapR = AddressMode(device.GetSamplerState(stage, SamplerState::AddressW));
    const uint32_t mag = device.GetSamplerState(stage, SamplerState::MagFilter);
    parameters.magFilter = mag == TextureFilterType::Point || mag == TextureFilterType::None ? GL_NEAREST : GL_LINEAR;
    parameters.minFilter =
        MinFilter(device.GetSamplerState(stage, SamplerState::MinFilter), device.GetSamplerState(stage, SamplerState::MipFilter));
    if (anisotropy) {
        parameters.maxAnisotropy =
            static_cast<int>(std::clamp<uint32_t>(device.GetSamplerState(stage, SamplerState::MaxAnisotropy), 1, 16));
    }
    return parameters;
}

}  // namespace

// Stages that pixel programs can sample: the texture on its 2D unit or its volume unit (opaque
// white on the other), with the stage's sampler on both.
void OpenGLDevice::ApplyTextures()
{
    for (int stage = 0; stage < GLShaderText::kEmulatedStages; ++stage) {
        const auto* texture = static_cast<const GLTexture*>(GetTexture(static_cast<uint32_t>(stage)));
        const bool volume = texture && texture->Kind() == TextureKind::Volume;
        const int volumeUnit = GLShaderText::kVolumeUnitBase + stage;
        state_.BindTexture(stage, GL_TEXTURE_2D, texture && !volume ? texture->Name() : white2D_);
        state_.BindTexture(volumeUnit, GL_TEXTURE_3D, volume ? texture->Name() : white3D_);
        const GLuint sampler = samplers_[stage];
        state_.SetSamplerParameters(stage, sampler, SamplerParametersOf(*this, static_cast<uint32_t>(stage), anisotropy_));
        state_.BindSampler(stage, sampler);
        state_.BindSampler(volumeUnit, sampler);
    }
}

OpenGLDevice::Program* OpenGLDevice::PrepareDraw(bool pretransformed)
{
    Program* program = ProgramForDraw(pretransformed);
    if (!program) return nullptr;
    ApplyRenderTarget();
    state_.UseProgram(program->program);
    ApplyFixedStates();
    ApplyTextures();
    UploadDeviceUniforms(program);
    UploadConstants(program);
    return program;
}

GLuint OpenGLDevice::StreamArray(uint32_t fvf)
{
    auto found = streamArrays_.find(fvf);
    if (found != streamArrays_.end()) return found->second;
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    state_.BindVertexArray(vertexArray);
    state_.BindArrayBuffer(streamBuffer_);
    state_.Counts().buffers += SetVertexLayout(fvf);
    streamArrays_.emplace(fvf, vertexArray);
    return vertexArray;
}

bool OpenGLDevice::DoDrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride)
{
    const bool pretransformed = (GetFVF() & Fvf::XYZRHW) != 0;
    if (!PrepareDraw(pretransformed)) return false;
    const GLsizei count = VertexCount(type, primitiveCount);
    state_.BindVertexArray(StreamArray(GetFVF()));
    state_.BindArrayBuffer(streamBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<size_t>(count) * stride), vertices, GL_STREAM_DRAW);
    ++state_.Counts().buffers;
    glDrawArrays(PrimitiveMode(type), 0, count);
    ++state_.Counts().draws;
    state_.Counts().primitives += primitiveCount;
    return true;
}

bool OpenGLDevice::DoDrawIndexedPrimitive(PrimitiveType type, uint32_t startIndex, uint32_t primitiveCount)
{
    auto* vertices = static_cast<GLVertexBuffer*>(GetStreamSource());
    const auto* indices = static_cast<const GLIndexBuffer*>(GetIndices());
    if (vertices->Name() == 0 || indices->Name() == 0 || !PrepareDraw(false)) return false;
    vertices->BindForDrawing(state_, indices->Name(), indices->Serial());
    const GLenum indexType = indices->Format() == IndexFormat::Index16 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
    glDrawElements(PrimitiveMode(type), VertexCount(type, primitiveCount), indexType, Offset(startIndex * indices->IndexSize()));
    ++state_.Counts().draws;
    state_.Counts().primitives += primitiveCount;
    return true;
}

bool OpenGLDevice::ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>* rgba)
{
    int targetWidth = 0, targetHeight = 0;
    TargetSize(&targetWidth, &targetHeight);
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > targetWidth || y + height > targetHeight) return false;
    ApplyRenderTarget();
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
