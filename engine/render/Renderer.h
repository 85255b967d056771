#pragma once

#include <cstdint>
#include <memory>

#include "engine/device/DeviceTexture.h"
#include "engine/device/DeviceVertices.h"
#include "engine/render/AlphaPixelShader.h"
#include "engine/render/Frustum.h"
#include "engine/render/GlowPixelShader.h"
#include "engine/render/GlowVertexShader.h"
#include "engine/render/NormalMapLightsPixelShader.h"
#include "engine/render/NormalMapLightsVertexShader.h"
#include "engine/render/NormalMapVertexShader.h"
#include "engine/render/NullVertexShader.h"
#include "engine/render/ParticleVertexShader.h"
#include "engine/render/SurfacePixelShader.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GrowArray.h"
#include "engine/scene/SceneSink.h"

class GraphicsDevice;
class RenderSurface;
struct Material;
struct MeshInstance;
struct Particle;
struct Sprite;

// The frame renderer. The scene layer submits, during its draw pass, the objects of its models
// (AddObject), their lights, camera-facing particles and screen sprites; Render then draws them
// all in passes on the current device and empties the lists:
//   surface    every visible instance in one draw, laying down depth: its ambient colour, plus for
//              every light that touches it normal map · light direction × the attenuation volume ×
//              the light's colour (each light's term held to 0..1, the sum to 1), times its colour
//              texture or diffuse colour. This is the picture the three passes below leave, which
//              draw the instances the surface pass cannot: those with more than eight lights, or
//              all of them where its shaders are missing;
//   ambient    the instance in its ambient colour, laying down depth;
//   light      additive: for every light that touches the instance, normal map · light direction ×
//              the attenuation volume × the light's colour; up to four lights in one draw (each
//              light's term held to 0..1 as its own pass would hold it), or one draw a light where
//              the shaders for several are missing;
//   texture    the frame so far multiplied by the instance's colour texture or diffuse colour;
//   particles  back to front, batched by texture and blend mode, depth-tested, writing no depth;
//   glow       (when enabled) glowing materials drawn small, blurred along x then y at the small
//              picture's texels, and spread across the screen with linear filtering, added on;
//   sprites    in submission order, batched; then the fade overlay.
//
// Submitted records are referred to, not copied: they must live until Render has run. While the
// fade is exactly 1 nothing is drawn and nothing is emptied, so the submissions of those frames
// are all drawn by the first frame that fades less.
class Renderer final : public SceneSink {
public:
    // The attenuation volume's side, in texels.
    static constexpr int kAttenuationSize = 16;

    // Called after each pass of Render with its name, for timing tools.
    using PassObserver = void (*)(void* context, const char* pass);

    Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
    ~Renderer() override;

    // Once the device exists: compiles the shaders, builds the attenuation volume, the screen quad
    // and the glow targets (sized from the back buffer, kept for good). False when there is no
    // device or one of the resources could not be made; the renderer then draws what it can.
    bool SetUpScene();

    // SceneSink: the first object of a material in a frame lists the material and drops its
    // instances of the frame before; every object adds one instance. Objects of no material are
    // not drawn.
    void AddObject(SceneObject& object, const Matrix& world) override;
    void AddLight(PointLight* light) override;
    Camera& GetCamera() override { return camera_; }
    float DisplayAspect() const override;

    void AddSprite(Sprite* sprite);
    void AddParticle(Particle* particle);

    // Draws the frame: fade 1 shows the fade colour alone, fade 0 no overlay.
    void Render(const Vec4& fadeColor, float fade);
    // Ends the frame without drawing it: the lists are emptied and the frame counter advances.
    void DiscardFrame() { EndFrame(); }

    void SetAmbientColor(const Vec4& color) { ambientColor_ = color; }
    void SetBackgroundColor(const Vec4& color) { backgroundColor_ = color; }
    void SetGlowColor(const Vec4& color) { glowColor_ = color; }
    void SetGlowEnabled(bool enabled) { glowEnabled_ = enabled ? 1 : 0; }
    void SetBlur(float blur) { blur_ = blur; }
    const Vec4& AmbientColor() const { return ambientColor_; }
    const Vec4& BackgroundColor() const { return backgroundColor_; }
    const Vec4& GlowColor() const { return glowColor_; }
    bool GlowEnabled() const { return glowEnabled_ != 0; }
    float Blur() const { return blur_; }

    void SetPassObserver(PassObserver observer, void* context);

    uint32_t FrameCounter() const { return frameCounter_; }
    const GrowArray<Material*>& Models() const { return models_; }
    const GrowArray<PointLight*>& Lights() const { return lights_; }
    const GrowArray<Sprite*>& Sprites() const { return sprites_; }
    const GrowArray<Particle*>& Particles() const { return particles_; }
    const Frustum& ViewFrustum() const { return frustum_; }
    int32_t GlowWidth() const { return glowWidth_; }
    int32_t GlowHeight() const { return glowHeight_; }
    DeviceTexture* AttenuationTexture() const { return attenuation_.get(); }
    // 0 and 1: the glow targets (null for any other index).
    DeviceTexture* GlowTarget(int index) const;

    // The attenuation volume's texels, RGBA, x fastest: grey falling off with the distance from
    // texel (0, 0, 0), opaque.
    static void BuildAttenuationVolume(uint8_t* rgba);
    // Half the largest power of two that fits the display's side (at least 1).
    static int32_t GlowSide(int displaySide);
    // The particles' vertex records, 6 a particle in draw order.
    static void BuildParticleVertices(const GrowArray<Particle*>& particles, GrowArray<ParticleVertex>* vertices);
    // The sprites' vertex records on a display of that size, 6 a sprite.
    static void BuildSpriteVertices(const GrowArray<Sprite*>& sprites, int displayWidth, int displayHeight,
                                    GrowArray<ScreenVertex>* vertices);
    // Depth of every particle from the view × projection, then the list sorted back to front.
    static void SortParticles(GrowArray<Particle*>* particles, const Matrix& viewProjection);

private:
    GraphicsDevice* Device() const;
    int DisplayWidth() const;
    int DisplayHeight() const;
    void Notify(const char* pass) const;

    void CullInstances();
    void AssignLights();
    void SetFrameStates();
    static uint32_t SurfaceLights(const Material& material, const MeshInstance& instance);
    // Drawn by the separate ambient, light and texture passes: more lights than a surface draw
    // carries, or no surface pass at all.
    bool Layered(const Material& material, const MeshInstance& instance) const;
    int SurfacePass();
    void SurfaceDraw(const Material& material, const MeshInstance& instance);
    void AmbientPass();
    void AmbientMaterialDraw(const Material& material);
    void LightPass();
    bool LightsTogether() const;
    void DrawLightsTogether(const MeshInstance& instance, int32_t frameStamp);
    void DrawLightsOneByOne(const MeshInstance& instance, int32_t frameStamp);
    void TexturePass();
    // Every visible instance of the material, or only those left to the separate passes.
    void DrawInstances(Material& material, bool layeredOnly = false);
    void ParticlePass();
    void GlowPass();
    void GlowMaterialDraw(const Material& material);
    void DrawScreenQuad();
    void SpreadGlow();
    void SpritePass();
    void FadeOverlay(const Vec4& fadeColor, float fade);
    void EndFrame();

    template <typename Item, typename VertexRecord>
    void DrawBatches(const GrowArray<Item*>& items, const GrowArray<VertexRecord>& vertices);

    GrowArray<Material*> models_;
    GrowArray<PointLight*> lights_;
    GrowArray<Sprite*> sprites_;
    GrowArray<Particle*> particles_;
    Camera camera_;
    Frustum frustum_;
    // The surface pass's draws, ordered by depth.
    struct SurfaceItem {
        float depth;
        Material* material;
        MeshInstance* instance;
    };
    GrowArray<SurfaceItem> surfaceOrder_;
    GrowArray<ScreenVertex> spriteVertices_;
    GrowArray<ParticleVertex> particleVertices_;
    QuadVertex screenQuad_[6] = {};
    std::unique_ptr<DeviceTexture> attenuation_;
    int32_t glowWidth_ = 0;
    int32_t glowHeight_ = 0;
    std::unique_ptr<DeviceTexture> glowTexture0_;
    RenderSurface* glowSurface0_ = nullptr;
    std::unique_ptr<DeviceTexture> glowTexture1_;
    RenderSurface* glowSurface1_ = nullptr;
    RenderSurface* backBuffer_ = nullptr;
    uint32_t frameCounter_ = 0;
    Vec4 ambientColor_{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 backgroundColor_{0.0f, 0.0f, 0.0f, 1.0f};
    Vec4 glowColor_{1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t glowEnabled_ = 0;
    float blur_ = 0.0f;
    NullVertexShader nullShader_;
    NormalMapVertexShader normalMapShader_;
    // Index n draws n lights at once (index 0 only in the surface pass).
    NormalMapLightsVertexShader lightsVertexShaders_[NormalMapLightsVertexShader::kMaxLights + 1];
    // Index n − 1 draws n lights at once.
    NormalMapLightsPixelShader lightsPixelShaders_[NormalMapLightsPixelShader::kMaxLights];
    // [textured][lights]
    SurfacePixelShader surfaceShaders_[2][NormalMapLightsVertexShader::kMaxLights + 1];
    // The most lights a surface draw carries; -1: no surface pass.
    int surfaceLights_ = -1;
    GlowVertexShader glowVertexShader_;
    GlowPixelShader glowPixelShader_;
    AlphaPixelShader alphaShader_;
    ParticleVertexShader particleShader_;
    PassObserver passObserver_ = nullptr;
    void* passObserverContext_ = nullptr;
};
