#pragma once

#include "engine/math/Vec4.h"
#include "engine/render/Particle.h"
#include "engine/scene/PointLight.h"

class Renderer;
class SoundSample;
class Texture;

// The effect every actor that can blow up embeds: an eight-frame flipbook, an optional expanding
// shock ring, an optional fading light and an optional sound. Its owner starts it and advances it
// once a frame from its own update; the particles and the light live here, so the renderer's
// pointers stay good until the frame is drawn.
struct Explosion {
    static constexpr int kFrameCount = 8;
    // The single-precision values as the game stores them: 8/15 s, just under 15 frames a second,
    // just under 1.875 a second.
    static constexpr float kDuration = 0.5333333611488342f;      // seconds
    static constexpr float kFrameRate = 14.999999046325684f;     // frames per second
    static constexpr float kFadeRate = 1.8749998807907104f;      // brightness per second
    static constexpr float kRingGrowth = 120.0f;                 // units per second
    static constexpr float kLightRadius = 600.0f;                // units
    static constexpr Vec4 kLightColour{1.0f, 0.8f, 0.5f, 1.0f};
    static constexpr int32_t kFlipbookBlend = 3;  // alpha blending
    static constexpr int32_t kRingBlend = 1;      // additive

    // Loads the frames, the ring and the sound through the caches and starts from the first
    // frame; plays the sound when withLightAndSound. May restart a used record.
    void Start(const Vec4& point, float size, bool withLightAndSound, bool withShockRing);
    // Moves on by dt and submits this frame's ring, flipbook and light. True once the explosion
    // is over; nothing is submitted then.
    bool Advance(Renderer& renderer, float dt);

    float elapsed = 0.0f;  // seconds since Start
    Particle flipbook;
    Particle shockRing;
    Texture* frames[kFrameCount] = {};
    PointLight light;
    bool withLightAndSound = false;
    bool withShockRing = false;
    SoundSample* sound = nullptr;
};
