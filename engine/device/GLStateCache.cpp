#include "engine/device/GLStateCache.h"

#include <epoxy/gl.h>

namespace {

// Stores the value and says whether it differed.
template <typename T>
bool Differs(T* shadow, T value)
{
    if (*shadow == value) return false;
    *shadow = value;
    return true;
}

void Toggle(GLenum capability, bool on)
{
    if (on) glEnable(capability);
    else glDisable(capability);
}

}  // namespace

void GLStateCache::ForgetAll()
{
    program_ = framebuffer_ = kUnknown;
    viewport_[0] = viewport_[1] = -1;
    depthTest_ = depthMask_ = depthFunc_ = kUnknown;
    cull_ = frontFace_ = kUnknown;
    blend_ = blendSource_ = blendDestination_ = kUnknown;
    scissor_ = kUnknown;
    activeUnit_ = -1;
    for (Unit& unit : units_) unit = Unit();
    // Parameters of -1 are never asked for: every one is set at the next use.
    for (SamplerParameters& parameters : samplerParameters_) parameters = {-1, -1, -1, -1, -1, -1};
    vertexArray_ = arrayBuffer_ = kUnknown;
}

void GLStateCache::ForgetTexture(unsigned int texture)
{
    for (Unit& unit : units_) {
        if (unit.texture2D == texture) unit.texture2D = kUnknown;
        if (unit.texture3D == texture) unit.texture3D = kUnknown;
    }
}

void GLStateCache::ForgetFramebuffer()
{
    framebuffer_ = kUnknown;
}

void GLStateCache::ForgetProgram(unsigned int program)
{
    if (program_ == program) program_ = kUnknown;
}

void GLStateCache::ForgetVertexArray(unsigned int vertexArray)
{
    if (vertexArray_ == vertexArray) vertexArray_ = kUnknown;
}

void GLStateCache::ForgetActiveUnitTextures()
{
    // With the active unit unknown, any unit may have changed.
    for (int unit = 0; unit < kUnits; ++unit) {
        if (activeUnit_ >= 0 && unit != activeUnit_) continue;
        units_[unit].texture2D = kUnknown;
        units_[unit].texture3D = kUnknown;
    }
}

void GLStateCache::UseProgram(unsigned int program)
{
    if (!Differs(&program_, program)) return;
    glUseProgram(program);
    ++work_.programs;
}

void GLStateCache::BindFramebuffer(unsigned int framebuffer)
{
    if (!Differs(&framebuffer_, framebuffer)) return;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    ++work_.states;
}

void GLStateCache::Viewport(int width, int height)
{
    if (viewport_[0] == width && viewport_[1] == height) return;
    viewport_[0] = width;
    viewport_[1] = height;
    glViewport(0, 0, width, height);
    ++work_.states;
}

void GLStateCache::DepthTest(bool on)
{
    if (!Differs(&depthTest_, on ? 1u : 0u)) return;
    Toggle(GL_DEPTH_TEST, on);
    ++work_.states;
}

void GLStateCache::DepthMask(bool on)
{
    if (!Differs(&depthMask_, on ? 1u : 0u)) return;
    glDepthMask(on ? GL_TRUE : GL_FALSE);
    ++work_.states;
}

void GLStateCache::DepthFunc(unsigned int function)
{
    if (!Differs(&depthFunc_, function)) return;
    glDepthFunc(function);
    ++work_.states;
}

void GLStateCache::Cull(bool on, unsigned int frontFace)
{
    if (Differs(&cull_, on ? 1u : 0u)) {
        Toggle(GL_CULL_FACE, on);
        ++work_.states;
    }
    if (on && Differs(&frontFace_, frontFace)) {
        glFrontFace(frontFace);
        ++work_.states;
    }
}

void GLStateCache::Blend(bool on, unsigned int source, unsigned int destination)
{
    if (Differs(&blend_, on ? 1u : 0u)) {
        Toggle(GL_BLEND, on);
        ++work_.states;
    }
    if (!on) return;
    const bool sourceDiffers = Differs(&blendSource_, source);
    if (Differs(&blendDestination_, destination) || sourceDiffers) {
        glBlendFunc(source, destination);
        ++work_.states;
    }
}

void GLStateCache::ScissorOff()
{
    if (!Differs(&scissor_, 0u)) return;
    glDisable(GL_SCISSOR_TEST);
    ++work_.states;
}

void GLStateCache::ActiveUnit(int unit)
{
    if (activeUnit_ == unit) return;
    activeUnit_ = unit;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    ++work_.textures;
}

void GLStateCache::BindTexture(int unit, unsigned int target, unsigned int texture)
{
    if (unit < 0 || unit >= kUnits) return;
    unsigned int* shadow = target == GL_TEXTURE_3D ? &units_[unit].texture3D : &units_[unit].texture2D;
    if (*shadow == texture) return;
    ActiveUnit(unit);
    *shadow = texture;
    glBindTexture(target, texture);
    ++work_.textures;
}

void GLStateCache::BindSampler(int unit, unsigned int sampler)
{
    if (unit < 0 || unit >= kUnits || !Differs(&units_[unit].sampler, sampler)) return;
    glBindSampler(static_cast<GLuint>(unit), sampler);
    ++work_.textures;
}

void GLStateCache::SetSamplerParameters(int slot, unsigned int sampler, const SamplerParameters& parameters)
{
    if (slot < 0 || slot >= kUnits) return;
    SamplerParameters& shadow = samplerParameters_[slot];
    const auto set = [&](int* value, int wanted, GLenum name) {
        if (!Differs(value, wanted)) return;
        glSamplerParameteri(sampler, name, wanted);
        ++work_.textures;
    };
    set(&shadow.wrapS, parameters.wrapS, GL_TEXTURE_WRAP_S);
    set(&shadow.wrapT, parameters.wrapT, GL_TEXTURE_WRAP_T);
    set(&shadow.wrapR, parameters.wrapR, GL_TEXTURE_WRAP_R);
    set(&shadow.magFilter, parameters.magFilter, GL_TEXTURE_MAG_FILTER);
    set(&shadow.minFilter, parameters.minFilter, GL_TEXTURE_MIN_FILTER);
    if (parameters.maxAnisotropy > 0 && Differs(&shadow.maxAnisotropy, parameters.maxAnisotropy)) {
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, static_cast<float>(parameters.maxAnisotropy));
        ++work_.textures;
    }
}

void GLStateCache::BindVertexArray(unsigned int vertexArray)
{
    if (!Differs(&vertexArray_, vertexArray)) return;
    glBindVertexArray(vertexArray);
    ++work_.buffers;
}

void GLStateCache::BindArrayBuffer(unsigned int buffer)
{
    if (!Differs(&arrayBuffer_, buffer)) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    ++work_.buffers;
}
