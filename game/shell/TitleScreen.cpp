#include "game/shell/TitleScreen.h"

#include <cmath>
#include <cstdint>

#include "engine/device/GraphicsDevice.h"
#include "engine/math/Matrix.h"
#include "engine/platform/Fsound.h"
#include "engine/platform/MessageQueue.h"
#include "engine/platform/PerformanceCounter.h"
#include "engine/render/Renderer.h"
#include "engine/render/Sprite.h"
#include "engine/scene/TextureCache.h"

namespace {

constexpr const char* kSceneryModel = "level.3df";
constexpr const char* kBannerTexture = "banner.tga";
constexpr const char* kPromptTexture = "tetters.jpg";
constexpr const char* kMusic = "ZEZIZIV5.it";
constexpr const char* kIntroCamera = "introCam";

constexpr float kFadeSeconds = 2.0f;       // fade-in, and fade-out after a key
constexpr float kFadePerSecond = 0.5f;     // 1 / kFadeSeconds
constexpr float kBlinksPerSecond = 6.0f;
constexpr float kBlinksPerSecondAfterEnter = 12.0f;
constexpr int32_t kBlendAdditive = 1;
constexpr int32_t kBlendAlpha = 3;

const Vec4 kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const Vec4 kTitleAmbient{0.075f, 0.075f, 0.075f, 1.0f};

// The state of one showing, as the frame loop keeps it.
struct Showing {
    int64_t frequency = 0;
    int64_t lastCount = 0;
    float t = 0.0f;
    float dt = 0.0f;
    bool leaving = false;
    float keyTime = 0.0f;
    bool result = false;
    bool done = false;
};

void SetUpSprites(Sprite* banner, Sprite* prompt)
{
    banner->texture = TextureCache::Get(kBannerTexture);
    banner->blendMode = kBlendAlpha;
    banner->color = {1.0f, 1.0f, 1.0f, 1.0f};
    banner->topLeft = {0.0f, 0.0f, 0.0f, 1.0f};
    banner->bottomRight = {1.0f, 0.5f, 0.0f, 1.0f};
    prompt->texture = TextureCache::Get(kPromptTexture);
    prompt->blendMode = kBlendAdditive;
    prompt->color = {1.0f, 1.0f, 1.0f, 1.0f};
    prompt->topLeft = {0.25f, 0.9f, 0.0f, 1.0f};
    prompt->bottomRight = {0.75f, 0.95f, 0.0f, 1.0f};
}

// Enter and Escape are taken once; after that they are dispatched like everything else, so a
// second Escape reaches the window procedure, which posts the quit that ends the showing.
void TakeMessages(Showing* showing)
{
    Message message;
    while (MessageQueue::PeekMessage(&message)) {
        if (message.message == WM_QUIT) {
            showing->done = true;
            continue;
        }
        const bool key = message.message == WM_KEYDOWN && !showing->leaving;
        if (key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
            showing->result = message.wParam == VK_RETURN;
            showing->leaving = true;
            showing->keyTime = showing->t;
            continue;
        }
        MessageQueue::TranslateMessage(message);
        MessageQueue::DispatchMessage(message);
    }
}

float BlinkValue(const Showing& showing)
{
    const float pi = std::acos(-1.0f);
    const float k = showing.leaving && showing.result ? kBlinksPerSecondAfterEnter : kBlinksPerSecond;
    return 0.5f * (std::sin(2.0f * pi * k * showing.t) + 1.0f);
}

float FadeValue(Showing* showing)
{
    if (showing->t < kFadeSeconds) return 1.0f - kFadePerSecond * showing->t;
    if (!showing->leaving) return 0.0f;
    const float d = showing->t - showing->keyTime;
    if (d > kFadeSeconds) showing->done = true;
    return kFadePerSecond * d;
}

// dt is measured in floating point and not clamped: the title has nothing a long frame could
// break.
void AdvanceTime(PerformanceCounter& counter, Showing* showing)
{
    int64_t now = 0;
    counter.QueryCounter(&now);
    showing->dt = showing->frequency != 0
                      ? static_cast<float>(static_cast<double>(now - showing->lastCount) / static_cast<double>(showing->frequency))
                      : 0.0f;
    showing->lastCount = now;
    showing->t += showing->dt;
}

}  // namespace

TitleScreen::TitleScreen(PerformanceCounter& counter) : counter_(&counter) {}

bool TitleScreen::Run(Renderer& renderer)
{
    Showing showing;
    if (counter_->QueryFrequency(&showing.frequency)) counter_->QueryCounter(&showing.lastCount);
    else showing.frequency = 0;

    model_.Load(kSceneryModel);
    Sprite banner;
    Sprite prompt;
    SetUpSprites(&banner, &prompt);
    renderer.SetBackgroundColor(kBlack);
    renderer.SetAmbientColor(kTitleAmbient);

    FMUSIC_MODULE* song = FMUSIC_LoadSong(kMusic);
    FMUSIC_SetLooping(song, true);
    FMUSIC_PlaySong(song);

    const Matrix identity = Matrix::Identity();
    while (!showing.done) {
        TakeMessages(&showing);
        const float p = BlinkValue(showing);
        prompt.color = {p, p, p, 1.0f};
        model_.AnimateObjects(renderer, identity, showing.dt);
        model_.AnimateLights(renderer, identity, showing.dt);
        model_.SelectCamera(renderer, identity, kIntroCamera, showing.dt);
        renderer.AddSprite(&banner);
        renderer.AddSprite(&prompt);
        const float fade = FadeValue(&showing);
        renderer.Render(kBlack, fade);
        if (GraphicsDevice* device = GraphicsDevice::Current()) device->Present();
        if (observer_) observer_({showing.t, showing.dt, p, fade, showing.leaving, showing.result, showing.done});
        AdvanceTime(*counter_, &showing);
    }

    // Songs live until freed: each showing loads its own, so the old one goes.
    FMUSIC_StopSong(song);
    FMUSIC_FreeSong(song);
    model_.Clear();
    TextureCache::Clear();
    return showing.result;
}
