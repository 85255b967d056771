#pragma once

#include <cstdint>

// What the OpenGL device last told OpenGL, so that a draw passes on only what differs: the program,
// the framebuffer and viewport, depth, cull, blend and scissor state, the textures and samplers of
// each unit with the samplers' parameters, and the vertex array. Every call the cache makes is
// counted by kind.
//
// Whoever changes OpenGL state behind the cache's back (creating a texture binds it) or deletes an
// object the cache may hold (OpenGL unbinds a deleted texture, framebuffer or vertex array) says so
// with the Forget operations; the cache then sets the value again at its next use.
class GLStateCache {
public:
    static constexpr int kUnits = 16;

    // OpenGL calls made through the cache, by kind.
    struct Work {
        uint64_t draws = 0;
        uint64_t primitives = 0;  // triangles (or lines, points) the draws asked for
        uint64_t programs = 0;  // program switches
        uint64_t states = 0;    // depth, cull, blend, viewport, scissor and framebuffer state
        uint64_t textures = 0;  // texture units: active unit, texture and sampler binds, sampler parameters
        uint64_t uniforms = 0;  // uniform uploads
        uint64_t buffers = 0;   // vertex arrays, buffer binds and uploads, attribute layout
    };

    // Sampler parameters in OpenGL's values.
    struct SamplerParameters {
        int wrapS = 0;
        int wrapT = 0;
        int wrapR = 0;
        int magFilter = 0;
        int minFilter = 0;
        int maxAnisotropy = 0;  // 0: the parameter is not set
    };

    GLStateCache() { ForgetAll(); }

    // Nothing is known: every value is set again at its next use.
    void ForgetAll();
    void ForgetTexture(unsigned int texture);
    void ForgetFramebuffer();
    void ForgetProgram(unsigned int program);
    void ForgetVertexArray(unsigned int vertexArray);
    // A texture was bound on the active unit outside the cache.
    void ForgetActiveUnitTextures();

    void UseProgram(unsigned int program);
    void BindFramebuffer(unsigned int framebuffer);
    void Viewport(int width, int height);
    void DepthTest(bool on);
    void DepthMask(bool on);
    void DepthFunc(unsigned int function);
    // frontFace: GL_CW or GL_CCW; ignored while culling is off.
    void Cull(bool on, unsigned int frontFace);
    void Blend(bool on, unsigned int source, unsigned int destination);
    // Clears and the letterbox's blit must not be cut by a scissor the driver may have on.
    void ScissorOff();
    // target: GL_TEXTURE_2D or GL_TEXTURE_3D.
    void BindTexture(int unit, unsigned int target, unsigned int texture);
    void BindSampler(int unit, unsigned int sampler);
    // slot: the device's index of the sampler object, below kUnits.
    void SetSamplerParameters(int slot, unsigned int sampler, const SamplerParameters& parameters);
    void BindVertexArray(unsigned int vertexArray);
    void BindArrayBuffer(unsigned int buffer);

    Work& Counts() { return work_; }
    const Work& Counts() const { return work_; }

private:
    static constexpr unsigned int kUnknown = 0xffffffffu;

    struct Unit {
        unsigned int texture2D = kUnknown;
        unsigned int texture3D = kUnknown;
        unsigned int sampler = kUnknown;
    };

    void ActiveUnit(int unit);

    unsigned int program_ = kUnknown;
    unsigned int framebuffer_ = kUnknown;
    int viewport_[2] = {};
    unsigned int depthTest_ = kUnknown;
    unsigned int depthMask_ = kUnknown;
    unsigned int depthFunc_ = kUnknown;
    unsigned int cull_ = kUnknown;
    unsigned int frontFace_ = kUnknown;
    unsigned int blend_ = kUnknown;
    unsigned int blendSource_ = kUnknown;
    unsigned int blendDestination_ = kUnknown;
    unsigned int scissor_ = kUnknown;
    int activeUnit_ = -1;
    Unit units_[kUnits];
    SamplerParameters samplerParameters_[kUnits];
    unsigned int vertexArray_ = kUnknown;
    unsigned int arrayBuffer_ = kUnknown;
    Work work_;
};
