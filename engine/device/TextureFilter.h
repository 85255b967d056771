#pragma once

#include <cstdint>

// The texture filtering settings, written into every sampler of the current device once: the
// first texture bind after a Set applies them, later binds find them applied. Values are
// TextureFilterType numbers. Defaults: linear magnification and minification, point mip filter,
// anisotropy 1, eight samplers.
class TextureFilter {
public:
    static void Set(uint32_t magFilter, uint32_t minFilter, uint32_t mipFilter, uint32_t maxAnisotropy);
    // Writes the settings into samplers 0 to 7 unless already applied since the last Set. Without a
    // current device nothing is written and the settings stay pending.
    static void Apply();
    // The current device changed: the next Apply writes the settings into the new one's samplers.
    static void DeviceChanged();

    static uint32_t MagFilter();
    static uint32_t MinFilter();
    static uint32_t MipFilter();
    static uint32_t MaxAnisotropy();
    static uint32_t SamplerCount();
    static bool Applied();

    // Back to the defaults, not applied; for tests.
    static void Reset();
};
