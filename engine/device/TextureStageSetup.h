#pragma once

#include <cstdint>
#include <cstring>
#include <string>

class GraphicsDevice;

// What the texture stages of a draw compute, reduced to what decides the pixel program that
// emulates them: for each stage up to the first disabled one, its colour and alpha operations, the
// arguments those operations read, and (when an argument reads the texture) the texture coordinate
// set, the kind of texture and its mirror-once axes. Draws with equal setups share one program,
// which evaluates exactly those stages and samples only the textures they read; the texture factor
// and the alpha test stay uniforms.
struct TextureStageSetup {
    static constexpr int kStages = 4;

    enum : uint8_t { kNoTexture = 0, kTexture2D = 1, kVolume = 2 };

    struct Stage {
        uint8_t colorOp = 0;  // 0: this stage and the ones after it are off
        uint8_t alphaOp = 0;  // TextureOp::Disable keeps the alpha of the stage before
        uint8_t colorArgs[3] = {};
        uint8_t alphaArgs[3] = {};
        uint8_t texCoord = 0;
        uint8_t texture = kNoTexture;
        uint8_t mirrorOnce = 0;  // bits 0, 1, 2: the absolute coordinate on u, v, w
    };

    Stage stages[kStages];

    // The setup of the device's current stage states, textures and sampler addressing.
    static TextureStageSetup Of(const GraphicsDevice& device);

    // The body of the pixel program (GLShaderText::PixelPrelude and PixelEpilogue go around it).
    std::string PixelBody() const;

    bool operator==(const TextureStageSetup& other) const { return std::memcmp(this, &other, sizeof *this) == 0; }
    bool operator<(const TextureStageSetup& other) const { return std::memcmp(this, &other, sizeof *this) < 0; }
};
