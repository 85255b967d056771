#include "game/actors/Explosion.h"

#include <algorithm>

#include "engine/platform/SampleCache.h"
#include "engine/platform/SoundInstance.h"
#include "engine/render/Renderer.h"
#include "engine/scene/TextureCache.h"

namespace {

constexpr const char* kFrameNames[Explosion::kFrameCount] = {"exp0.tga", "exp1.tga", "exp2.tga", "exp3.tga",
                                                             "exp4.tga", "exp5.tga", "exp6.tga", "exp7.tga"};
constexpr const char* kRingTexture = "shock.jpg";
constexpr const char* kSoundName = "explosion.wav";

}  // namespace

void Explosion::Start(const Vec4& point, float size, bool lightAndSound, bool ring)
{
    for (int i = 0; i < kFrameCount; ++i) frames[i] = TextureCache::Get(kFrameNames[i]);

    flipbook.blendMode = kFlipbookBlend;
    flipbook.color = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    flipbook.position = point;
    flipbook.texture = frames[0];
    flipbook.size = size;

    shockRing.blendMode = kRingBlend;
    shockRing.color = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    shockRing.position = point;
    shockRing.size = 0.0f;
    shockRing.texture = TextureCache::Get(kRingTexture);

    withLightAndSound = lightAndSound;
    withShockRing = ring;
    light.position = point;
    light.colour = kLightColour;
    light.radius = kLightRadius;
    elapsed = 0.0f;

    sound = SampleCache::Get(kSoundName, false, false, false);
    if (withLightAndSound) SoundInstance(sound).Play(false);
}

bool Explosion::Advance(Renderer& renderer, float dt)
{
    elapsed += dt;
    if (elapsed > kDuration) return true;

    const int frame = std::clamp(static_cast<int>(elapsed * kFrameRate), 0, kFrameCount - 1);
    flipbook.texture = frames[frame];
    if (withShockRing) {
        shockRing.size += dt * kRingGrowth;
        const float c = 1.0f - elapsed * kFadeRate;
        shockRing.color = Vec4(c, c, c, 1.0f);
        renderer.AddParticle(&shockRing);
    }
    renderer.AddParticle(&flipbook);
    if (withLightAndSound) {
        const float d = dt * kFadeRate;
        light.colour.x -= d;
        light.colour.y -= d;
        light.colour.z -= d;
        renderer.AddLight(&light);
    }
    return false;
}
