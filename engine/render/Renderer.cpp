#include "engine/render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/device/GraphicsDevice.h"
#include "engine/render/Particle.h"
#include "engine/render/Sprite.h"
#include "engine/scene/Material.h"
#include "engine/scene/MeshInstance.h"
#include "engine/scene/PointLight.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/Texture.h"

namespace {

constexpr uint32_t kOpaqueBlack = 0xff000000u;

uint32_t ColorByte(float component)
{
    // Truncated like a Direct3D colour, and held to a byte so that colours above 1 saturate.
    const float scaled = component * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<uint32_t>(scaled);
}

uint32_t PackVec4(const Vec4& color)
{
    return PackColor(ColorByte(color.w), ColorByte(color.x), ColorByte(color.y), ColorByte(color.z));
}

DeviceTexture* DeviceOf(const Texture* texture)
{
    return texture ? texture->Device() : nullptr;
}

// Every texture of the scene is set through Texture::Bind on stage 0 with both axes wrapping, so
// the filter settings reach the samplers and no clamp left by the glow pass survives; a missing
// texture clears the stage.
void BindTexture(GraphicsDevice& device, const Texture* texture)
{
    if (texture) {
        texture->Bind(0, 0, 0);
    } else {
        device.SetTexture(0, nullptr);
    }
}

void SetStage(GraphicsDevice& device, uint32_t stage, uint32_t colorOp, uint32_t arg1, uint32_t arg2)
{
    device.SetTextureStageState(stage, StageState::ColorOp, colorOp);
    device.SetTextureStageState(stage, StageState::ColorArg1, arg1);
    device.SetTextureStageState(stage, StageState::ColorArg2, arg2);
}

void SetBlending(GraphicsDevice& device, bool on, uint32_t source, uint32_t destination)
{
    device.SetRenderState(RenderState::AlphaBlendEnable, on ? 1 : 0);
    if (!on) return;
    device.SetRenderState(RenderState::SrcBlend, source);
    device.SetRenderState(RenderState::DestBlend, destination);
}

// The blend modes of particle and sprite batches.
void SetBlendMode(GraphicsDevice& device, int32_t mode)
{
    switch (mode) {
    case 0: device.SetRenderState(RenderState::AlphaBlendEnable, 0); break;
    case 1: SetBlending(device, true, Blend::One, Blend::One); break;
    case 2: SetBlending(device, true, Blend::DestColor, Blend::Zero); break;
    case 3: SetBlending(device, true, Blend::SrcAlpha, Blend::InvSrcAlpha); break;
    default: device.SetRenderState(RenderState::AlphaBlendEnable, 1); break;
    }
}

// Not-a-number depths sort as the nearest, so the comparison stays a strict weak order.
float SortKey(float depth)
{
    return std::isnan(depth) ? -INFINITY : depth;
}

}  // namespace

Renderer::Renderer()
{
    glowColor_ = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
}

Renderer::~Renderer() = default;

GraphicsDevice* Renderer::Device() const
{
    return GraphicsDevice::Current();
}

int Renderer::DisplayWidth() const
{
    GraphicsDevice* device = Device();
    return device && device->GetBackBuffer() ? device->GetBackBuffer()->Width() : 0;
}

int Renderer::DisplayHeight() const
{
    GraphicsDevice* device = Device();
    return device && device->GetBackBuffer() ? device->GetBackBuffer()->Height() : 0;
}

float Renderer::DisplayAspect() const
{
    const int height = DisplayHeight();
    return height > 0 ? static_cast<float>(DisplayWidth()) / static_cast<float>(height) : 1.0f;
}

void Renderer::SetPassObserver(PassObserver observer, void* context)
{
    passObserver_ = observer;
    passObserverContext_ = context;
}

void Renderer::Notify(const char* pass) const
{
    if (passObserver_) passObserver_(passObserverContext_, pass);
}

int32_t Renderer::GlowSide(int displaySide)
{
    int32_t power = 1;
    while (displaySide > 0 && power <= displaySide / 2) power *= 2;
    return std::max(1, power / 2);
}

void Renderer::BuildAttenuationVolume(uint8_t* rgba)
{
    for (int z = 0; z < kAttenuationSize; ++z) {
        for (int y = 0; y < kAttenuationSize; ++y) {
            for (int x = 0; x < kAttenuationSize; ++x) {
                const float d = std::sqrt(static_cast<float>(x * x + y * y + z * z));
                const float scaled = d * 0.0625f;
                const float v = std::clamp(255.0f / (scaled * scaled * 22.0f + 1.0f), 0.0f, 255.0f);
                const auto level = static_cast<uint8_t>(v);
                uint8_t* texel = rgba + 4 * ((z * kAttenuationSize + y) * kAttenuationSize + x);
                texel[0] = level;
                texel[1] = level;
                texel[2] = level;
                texel[3] = 255;
            }
        }
    }
}

bool Renderer::SetUpScene()
{
    frameCounter_ = 0;
    GraphicsDevice* device = Device();
    if (!device) return false;
    bool complete = normalMapShader_.Init();
    complete = nullShader_.Init() && complete;
    complete = glowVertexShader_.Init() && complete;
    complete = glowPixelShader_.Init() && complete;
    complete = alphaShader_.Init() && complete;
    complete = particleShader_.Init() && complete;
    // Optional: without them every light costs a draw of its own.
    for (int i = 0; i < NormalMapLightsPixelShader::kMaxLights; ++i) {
        lightsPixelShaders_[i].Init(i + 1);
    }
    // Optional: the surface pass draws the instances of as many lights as it has shaders for, in
    // an unbroken run from none, and leaves the others to the ambient, light and texture passes.
    surfaceLights_ = -1;
    for (int lights = 0; lights <= NormalMapLightsVertexShader::kMaxLights; ++lights) {
        const bool vertex = lightsVertexShaders_[lights].Init(lights);
        const bool plain = surfaceShaders_[0][lights].Init(lights, false);
        const bool textured = surfaceShaders_[1][lights].Init(lights, true);
        if (vertex && plain && textured && surfaceLights_ == lights - 1) surfaceLights_ = lights;
    }

    std::vector<uint8_t> volume(kAttenuationSize * kAttenuationSize * kAttenuationSize * 4);
    BuildAttenuationVolume(volume.data());
    attenuation_ =
        device->CreateVolumeTexture(kAttenuationSize, kAttenuationSize, kAttenuationSize, volume.data());

    const QuadVertex quad[6] = {{-1, -1, 0, 0, 0}, {-1, 1, 0, 0, 1}, {1, -1, 0, 1, 0},
                                {1, -1, 0, 1, 0},  {-1, 1, 0, 0, 1}, {1, 1, 0, 1, 1}};
    std::copy(std::begin(quad), std::end(quad), screenQuad_);

    glowWidth_ = GlowSide(DisplayWidth());
    glowHeight_ = GlowSide(DisplayHeight());
    glowTexture0_ = device->CreateRenderTarget(glowWidth_, glowHeight_);
    glowTexture1_ = device->CreateRenderTarget(glowWidth_, glowHeight_);
    glowSurface0_ = glowTexture0_ ? glowTexture0_->GetSurfaceLevel0() : nullptr;
    glowSurface1_ = glowTexture1_ ? glowTexture1_->GetSurfaceLevel0() : nullptr;
    backBuffer_ = device->GetBackBuffer();

    glowEnabled_ = 0;
    blur_ = 0.0f;
    glowColor_ = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    return complete && attenuation_ && glowSurface0_ && glowSurface1_;
}

void Renderer::AddObject(SceneObject& object, const Matrix& world)
{
    Material* material = object.Owner();
    if (!material) return;
    const auto stamp = static_cast<int32_t>(frameCounter_);
    if (material->frameStamp != stamp) {
        material->instances.Clear();
        models_.Append(material);
    }
    material->frameStamp = stamp;
    MeshInstance instance;
    instance.object = &object;
    instance.world = world;
    if (!InvertMatrix(world, &instance.inverseWorld)) instance.inverseWorld = Matrix();
    instance.visible = 1;
    material->instances.Append(instance);
    object.SetFrameStamp(stamp);
}

void Renderer::AddLight(PointLight* light)
{
    if (light) lights_.Append(light);
}

void Renderer::AddSprite(Sprite* sprite)
{
    if (sprite) sprites_.Append(sprite);
}

void Renderer::AddParticle(Particle* particle)
{
    if (particle) particles_.Append(particle);
}

void Renderer::Render(const Vec4& fadeColor, float fade)
{
    GraphicsDevice* device = Device();
    if (!device) return;
    const bool faded = fade == 1.0f;
    const Vec4 clearColor = faded ? Vec4(fadeColor.x, fadeColor.y, fadeColor.z, 1.0f)
                                  : Vec4(backgroundColor_.x, backgroundColor_.y, backgroundColor_.z, 1.0f);
    device->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackVec4(clearColor), 1.0f, 0);
    if (faded) return;

    camera_.Update();
    frustum_.Build(camera_.ViewProjection());
    CullInstances();
    AssignLights();
    SetFrameStates();
    device->BeginScene();
    if (SurfacePass() > 0) {
        AmbientPass();
        LightPass();
        TexturePass();
    }
    ParticlePass();
    if (glowEnabled_) GlowPass();
    SpritePass();
    if (fade != 0.0f) FadeOverlay(fadeColor, fade);
    device->EndScene();
    EndFrame();
}

void Renderer::CullInstances()
{
    for (Material* material : models_) {
        for (MeshInstance& instance : material->instances) {
            const Vec4& lo = instance.object->BoxMin();
            const Vec4& hi = instance.object->BoxMax();
            Vec4 corners[8];
            for (int i = 0; i < 8; ++i) {
                const Vec4 local((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z, 1.0f);
                corners[i] = instance.world.Transform(local);
            }
            if (frustum_.BoxOutside(corners)) instance.visible = 0;
        }
    }
}

void Renderer::AssignLights()
{
    for (PointLight* light : lights_) {
        if (frustum_.SphereOutside(light->position, light->radius)) continue;
        const Vec4 centre(light->position.x, light->position.y, light->position.z, 1.0f);
        for (Material* material : models_) {
            for (MeshInstance& instance : material->instances) {
                const Vec4 local = instance.inverseWorld.Transform(centre);
                if (instance.object->BoxTouchesSphere(local, light->radius)) instance.lights.Append(light);
            }
        }
    }
}

void Renderer::SetFrameStates()
{
    GraphicsDevice& device = *Device();
    device.SetRenderState(RenderState::CullMode, Cull::CW);
    device.SetRenderState(RenderState::ZEnable, 1);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::AlphaRef, 128);
    device.SetRenderState(RenderState::AlphaFunc, Compare::Greater);
}

// Only a material with a normal map is lit, as in the light pass.
uint32_t Renderer::SurfaceLights(const Material& material, const MeshInstance& instance)
{
    return DeviceOf(material.bumpMap) ? instance.lights.Count() : 0;
}

bool Renderer::Layered(const Material& material, const MeshInstance& instance) const
{
    return static_cast<int64_t>(SurfaceLights(material, instance)) > surfaceLights_;
}

// Draws every visible instance it can in one go and leaves the layered ones; returns how many it
// left. Each draw writes what the ambient, light and texture passes would have left in the frame.
int Renderer::SurfacePass()
{
    GraphicsDevice& device = *Device();
    const bool ready = surfaceLights_ >= 0;
    if (ready) {
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
        device.SetRenderState(RenderState::ZFunc, Compare::LessEqual);
        device.SetRenderState(RenderState::ZWriteEnable, 1);
    }
    int layered = 0;
    surfaceOrder_.ResetCount();
    const Matrix& viewProjection = camera_.ViewProjection();
    for (Material* material : models_) {
        for (MeshInstance& instance : material->instances) {
            if (!instance.visible) continue;
            if (Layered(*material, instance)) {
                ++layered;
                continue;
            }
            const Vec4 lo = instance.object->BoxMin();
            const Vec4 hi = instance.object->BoxMax();
            const Vec4 centre((lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f, 1.0f);
            const float depth = viewProjection.Transform(instance.world.Transform(centre)).w;
            surfaceOrder_.Append({depth, material, &instance});
        }
    }
    // Nearest first, so that the depth test spares the shading of what lies behind.
    std::stable_sort(surfaceOrder_.begin(), surfaceOrder_.end(),
                     [](const SurfaceItem& a, const SurfaceItem& b) { return SortKey(a.depth) < SortKey(b.depth); });
    const Material* bound = nullptr;
    for (const SurfaceItem& item : surfaceOrder_) {
        const Material& material = *item.material;
        if (&material != bound) {
            BindTexture(device, material.bumpMap);
            if (material.texture) material.texture->Bind(2, 0, 0);
            const bool cutOut = !material.glow && material.alphaMask && DeviceOf(material.texture);
            device.SetRenderState(RenderState::AlphaTestEnable, cutOut ? 1 : 0);
            bound = &material;
        }
        SurfaceDraw(material, *item.instance);
    }
    if (ready) {
        // What follows tests depth without writing it, as after the ambient pass.
        device.SetRenderState(RenderState::ZWriteEnable, 0);
        device.SetRenderState(RenderState::AlphaTestEnable, 0);
        device.SetPixelShader(nullptr);
        device.SetTexture(2, nullptr);
    }
    Notify("surface");
    return layered;
}

void Renderer::SurfaceDraw(const Material& material, const MeshInstance& instance)
{
    const auto lights = static_cast<int>(SurfaceLights(material, instance));
    const bool textured = DeviceOf(material.texture) != nullptr;
    const NormalMapLightsVertexShader& vertexShader = lightsVertexShaders_[lights];
    const SurfacePixelShader& pixelShader = surfaceShaders_[textured ? 1 : 0][lights];
    vertexShader.Bind();
    pixelShader.Bind();
    vertexShader.SetWorldViewProj(instance.world * camera_.ViewProjection());
    // A glowing material shows white where its texture is opaque, or all over without texture.
    Vec4 base(ambientColor_.x + material.ambient.x, ambientColor_.y + material.ambient.y,
              ambientColor_.z + material.ambient.z, 1.0f);
    if (material.glow && !textured) base = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
    pixelShader.SetBase(base, material.glow && textured ? 1.0f : 0.0f);
    pixelShader.SetDiffuseColor(material.diffuse);
    if (lights > 0) {
        vertexShader.SetLights(&instance.lights.At(0), instance.inverseWorld);
        pixelShader.SetLights(&instance.lights.At(0));
    }
    instance.object->Draw(instance.world, material.frameStamp);
}

void Renderer::DrawInstances(Material& material, bool layeredOnly)
{
    const Matrix& viewProjection = camera_.ViewProjection();
    for (MeshInstance& instance : material.instances) {
        if (!instance.visible || (layeredOnly && !Layered(material, instance))) continue;
        nullShader_.SetWorldViewProj(instance.world * viewProjection);
        instance.object->Draw(instance.world, material.frameStamp);
    }
}

void Renderer::AmbientPass()
{
    GraphicsDevice& device = *Device();
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetRenderState(RenderState::ZFunc, Compare::LessEqual);
    device.SetRenderState(RenderState::ZWriteEnable, 1);
    device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
    device.SetTextureStageState(0, StageState::ColorOp, TextureOp::Lerp);
    device.SetTextureStageState(0, StageState::ColorArg0, TextureArg::Texture | TextureArg::AlphaReplicate);
    device.SetTextureStageState(0, StageState::ColorArg1, TextureArg::TFactor);
    device.SetTextureStageState(0, StageState::ColorArg2, TextureArg::Diffuse);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
    device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
    nullShader_.Bind();
    device.SetPixelShader(nullptr);
    for (Material* material : models_) {
        AmbientMaterialDraw(*material);
        DrawInstances(*material, true);
    }
    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.SetRenderState(RenderState::AlphaTestEnable, 0);
    device.SetRenderState(RenderState::ZFunc, Compare::Equal);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
    Notify("ambient");
}

void Renderer::AmbientMaterialDraw(const Material& material)
{
    GraphicsDevice& device = *Device();
    Vec4 color(ambientColor_.x + material.ambient.x, ambientColor_.y + material.ambient.y,
               ambientColor_.z + material.ambient.z, 1.0f);
    device.SetTexture(0, nullptr);
    DeviceTexture* colorTexture = DeviceOf(material.texture);
    if (!material.glow) {
        const bool cutOut = material.alphaMask && colorTexture;
        device.SetRenderState(RenderState::AlphaTestEnable, cutOut ? 1 : 0);
        device.SetTextureStageState(0, StageState::ColorOp, TextureOp::SelectArg2);
        device.SetTextureStageState(0, StageState::AlphaOp, cutOut ? TextureOp::SelectArg1 : TextureOp::Disable);
        if (cutOut) BindTexture(device, material.texture);
    } else if (colorTexture) {
        device.SetRenderState(RenderState::AlphaTestEnable, 0);
        device.SetTextureStageState(0, StageState::ColorOp, TextureOp::Lerp);
        device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
        BindTexture(device, material.texture);
    } else {
        device.SetRenderState(RenderState::AlphaTestEnable, 0);
        color = Vec4(1.0f, 1.0f, 1.0f, 1.0f);
        device.SetTextureStageState(0, StageState::ColorOp, TextureOp::SelectArg2);
        device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
    }
    nullShader_.SetDiffuseColor(color);
}

void Renderer::LightPass()
{
    GraphicsDevice& device = *Device();
    SetBlending(device, true, Blend::One, Blend::One);
    device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
    SetStage(device, 0, TextureOp::DotProduct3, TextureArg::Texture, TextureArg::Diffuse);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Disable);
    device.SetTexture(1, attenuation_.get());
    device.SetTextureStageState(1, StageState::TexCoordIndex, 1);
    SetStage(device, 1, TextureOp::Modulate, TextureArg::Texture, TextureArg::Current);
    device.SetTextureStageState(1, StageState::AlphaOp, TextureOp::Disable);
    for (SamplerState address : {SamplerState::AddressU, SamplerState::AddressV, SamplerState::AddressW}) {
        device.SetSamplerState(1, address, TextureAddress::MirrorOnce);
    }
    for (SamplerState filter : {SamplerState::MagFilter, SamplerState::MinFilter, SamplerState::MipFilter}) {
        device.SetSamplerState(1, filter, TextureFilterType::Linear);
    }
    device.SetTextureStageState(2, StageState::TexCoordIndex, 2);
    SetStage(device, 2, TextureOp::Modulate, TextureArg::Current, TextureArg::Specular);
    device.SetTextureStageState(2, StageState::AlphaOp, TextureOp::Disable);
    const bool together = LightsTogether();
    if (!together) normalMapShader_.Bind();

    for (Material* material : models_) {
        DeviceTexture* normalMap = DeviceOf(material->bumpMap);
        BindTexture(device, material->bumpMap);
        device.SetTextureStageState(0, StageState::ColorOp, normalMap ? TextureOp::DotProduct3 : TextureOp::Disable);
        // With stage 0 off the stages would pass the packed light vector on as a colour: a
        // material without normal map keeps its ambient colour alone.
        if (!normalMap) continue;
        for (const MeshInstance& instance : material->instances) {
            if (!instance.visible || !Layered(*material, instance) || instance.lights.Count() == 0) continue;
            if (together) {
                DrawLightsTogether(instance, material->frameStamp);
            } else {
                DrawLightsOneByOne(instance, material->frameStamp);
            }
        }
    }
    device.SetPixelShader(nullptr);
    device.SetTexture(1, nullptr);
    device.SetTextureStageState(1, StageState::ColorOp, TextureOp::Disable);
    device.SetTextureStageState(2, StageState::ColorOp, TextureOp::Disable);
    Notify("light");
}

bool Renderer::LightsTogether() const
{
    for (int i = 0; i < NormalMapLightsPixelShader::kMaxLights; ++i) {
        if (!lightsVertexShaders_[i + 1].IsReady() || !lightsPixelShaders_[i].IsReady()) return false;
    }
    return true;
}

// The instance's lights four at a time (the rest together at the end), one draw each group.
void Renderer::DrawLightsTogether(const MeshInstance& instance, int32_t frameStamp)
{
    const Matrix worldViewProj = instance.world * camera_.ViewProjection();
    const uint32_t count = instance.lights.Count();
    for (uint32_t first = 0; first < count; first += NormalMapLightsPixelShader::kMaxLights) {
        const auto group = static_cast<int>(std::min<uint32_t>(count - first, NormalMapLightsPixelShader::kMaxLights));
        const NormalMapLightsVertexShader& vertexShader = lightsVertexShaders_[group];
        const NormalMapLightsPixelShader& pixelShader = lightsPixelShaders_[group - 1];
        vertexShader.Bind();
        pixelShader.Bind();
        vertexShader.SetWorldViewProj(worldViewProj);
        vertexShader.SetLights(&instance.lights.At(first), instance.inverseWorld);
        pixelShader.SetLights(&instance.lights.At(first));
        instance.object->Draw(instance.world, frameStamp);
    }
}

void Renderer::DrawLightsOneByOne(const MeshInstance& instance, int32_t frameStamp)
{
    normalMapShader_.SetWorldViewProj(instance.world * camera_.ViewProjection());
    normalMapShader_.SetInvWorld(instance.inverseWorld);
    for (PointLight* light : instance.lights) {
        light->Apply(normalMapShader_);
        instance.object->Draw(instance.world, frameStamp);
    }
}

void Renderer::TexturePass()
{
    GraphicsDevice& device = *Device();
    SetBlending(device, true, Blend::DestColor, Blend::Zero);
    device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
    SetStage(device, 0, TextureOp::Modulate, TextureArg::Diffuse, TextureArg::Texture);
    nullShader_.Bind();
    for (Material* material : models_) {
        DeviceTexture* colorTexture = DeviceOf(material->texture);
        device.SetTextureStageState(0, StageState::ColorOp, colorTexture ? TextureOp::Modulate : TextureOp::SelectArg1);
        BindTexture(device, material->texture);
        nullShader_.SetDiffuseColor(material->diffuse);
        DrawInstances(*material, true);
    }
    device.SetTexture(0, nullptr);
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    Notify("texture");
}

void Renderer::SortParticles(GrowArray<Particle*>* particles, const Matrix& viewProjection)
{
    for (Particle* particle : *particles) {
        const Vec4 centre(particle->position.x, particle->position.y, particle->position.z, 1.0f);
        particle->depth = viewProjection.Transform(centre).z;
    }
    std::sort(particles->begin(), particles->end(),
              [](const Particle* a, const Particle* b) { return SortKey(a->depth) > SortKey(b->depth); });
}

void Renderer::BuildParticleVertices(const GrowArray<Particle*>& particles, GrowArray<ParticleVertex>* vertices)
{
    static constexpr float kCorners[6][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    vertices->ResetCount();
    for (const Particle* particle : particles) {
        const uint32_t color = PackVec4(particle->color);
        for (const auto& corner : kCorners) {
            vertices->Append({corner[0], corner[1], 0.0f, color, particle->position.x, particle->position.y,
                              particle->position.z, particle->size});
        }
    }
}

void Renderer::BuildSpriteVertices(const GrowArray<Sprite*>& sprites, int displayWidth, int displayHeight,
                                   GrowArray<ScreenVertex>* vertices)
{
    const auto spanX = static_cast<float>(displayWidth - 1);
    const auto spanY = static_cast<float>(displayHeight - 1);
    vertices->ResetCount();
    for (const Sprite* sprite : sprites) {
        const float left = spanX * sprite->topLeft.x;
        const float top = spanY * sprite->topLeft.y;
        const float right = spanX * sprite->bottomRight.x;
        const float bottom = spanY * sprite->bottomRight.y;
        const uint32_t c = PackVec4(sprite->color);
        vertices->Append({left, top, 0.5f, 1.0f, c, 0.0f, 0.0f});
        vertices->Append({left, bottom, 0.5f, 1.0f, c, 0.0f, 1.0f});
        vertices->Append({right, top, 0.5f, 1.0f, c, 1.0f, 0.0f});
        vertices->Append({right, top, 0.5f, 1.0f, c, 1.0f, 0.0f});
        vertices->Append({left, bottom, 0.5f, 1.0f, c, 0.0f, 1.0f});
        vertices->Append({right, bottom, 0.5f, 1.0f, c, 1.0f, 1.0f});
    }
}

// Consecutive items of one texture and blend mode go to the device in one call.
template <typename Item, typename VertexRecord>
void Renderer::DrawBatches(const GrowArray<Item*>& items, const GrowArray<VertexRecord>& vertices)
{
    GraphicsDevice& device = *Device();
    uint32_t first = 0;
    while (first < items.Count()) {
        const Item* head = items.At(first);
        uint32_t end = first + 1;
        while (end < items.Count() && items.At(end)->texture == head->texture &&
               items.At(end)->blendMode == head->blendMode) {
            ++end;
        }
        SetBlendMode(device, head->blendMode);
        // A batch without texture clears the stage, so it never picks up the previous batch's.
        BindTexture(device, head->texture);
        device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2 * (end - first), &vertices.At(6 * first),
                               sizeof(VertexRecord));
        first = end;
    }
}

void Renderer::ParticlePass()
{
    GraphicsDevice& device = *Device();
    // Without its shader a particle's corner offsets would be drawn as positions through the last
    // mesh's matrices: the pass is skipped instead.
    if (particles_.Count() > 0 && particleShader_.IsReady()) {
        SortParticles(&particles_, camera_.ViewProjection());
        BuildParticleVertices(particles_, &particleVertices_);
        particleShader_.Bind();
        particleShader_.SetCamera(camera_);
        device.SetRenderState(RenderState::ZFunc, Compare::LessEqual);
        device.SetRenderState(RenderState::CullMode, Cull::None);
        device.SetFVF(ParticleVertex::kFvf);
        device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
        SetStage(device, 0, TextureOp::Modulate, TextureArg::Texture, TextureArg::Diffuse);
        device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Modulate);
        device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
        device.SetTextureStageState(0, StageState::AlphaArg2, TextureArg::Diffuse);
        DrawBatches(particles_, particleVertices_);
        device.SetRenderState(RenderState::CullMode, Cull::CW);
        device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    }
    Notify("particles");
}

void Renderer::GlowMaterialDraw(const Material& material)
{
    GraphicsDevice& device = *Device();
    DeviceTexture* colorTexture = DeviceOf(material.texture);
    if (material.glow) {
        nullShader_.SetDiffuseColor(material.diffuse);
        device.SetRenderState(RenderState::AlphaTestEnable, 0);
        if (colorTexture) {
            alphaShader_.Bind();
        } else {
            device.SetPixelShader(nullptr);
        }
        BindTexture(device, material.texture);
        return;
    }
    const bool cutOut = material.alphaMask && colorTexture;
    device.SetPixelShader(nullptr);
    nullShader_.SetDiffuseColor(Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    BindTexture(device, cutOut ? material.texture : nullptr);
    device.SetRenderState(RenderState::AlphaTestEnable, cutOut ? 1 : 0);
}

DeviceTexture* Renderer::GlowTarget(int index) const
{
    if (index == 0) return glowTexture0_.get();
    return index == 1 ? glowTexture1_.get() : nullptr;
}

void Renderer::DrawScreenQuad()
{
    Device()->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, screenQuad_, sizeof(QuadVertex));
}

// The blurred small picture across the screen: pixel (x, y) reads it at (x / width, y / height)
// plus half a small texel, where the blur's screen quad would have centred its taps, with linear
// filtering between the small picture's texels.
void Renderer::SpreadGlow()
{
    GraphicsDevice& device = *Device();
    const auto width = static_cast<float>(DisplayWidth());
    const auto height = static_cast<float>(DisplayHeight());
    const float u0 = 0.5f / static_cast<float>(glowWidth_) - 0.5f / width;
    const float v0 = 0.5f / static_cast<float>(glowHeight_) - 0.5f / height;
    const float u1 = u0 + 1.0f, v1 = v0 + 1.0f;
    const float l = -0.5f, t = -0.5f, r = width - 0.5f, b = height - 0.5f;
    const uint32_t white = 0xffffffffu;
    const ScreenVertex quad[6] = {{l, t, 0.5f, 1, white, u0, v0}, {r, t, 0.5f, 1, white, u1, v0},
                                  {l, b, 0.5f, 1, white, u0, v1}, {r, t, 0.5f, 1, white, u1, v0},
                                  {r, b, 0.5f, 1, white, u1, v1}, {l, b, 0.5f, 1, white, u0, v1}};
    device.SetVertexShader(nullptr);
    device.SetPixelShader(nullptr);
    device.SetFVF(ScreenVertex::kFvf);
    SetStage(device, 0, TextureOp::SelectArg1, TextureArg::Texture, TextureArg::Diffuse);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::SelectArg1);
    device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
    device.SetTexture(0, glowTexture0_.get());
    device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(ScreenVertex));
}

void Renderer::GlowPass()
{
    GraphicsDevice& device = *Device();
    if (!glowSurface0_ || !glowSurface1_ || !glowVertexShader_.IsReady() || !glowPixelShader_.IsReady()) return;
    device.SetRenderState(RenderState::AlphaBlendEnable, 0);
    device.SetRenderState(RenderState::ZFunc, Compare::LessEqual);
    device.SetRenderState(RenderState::ZWriteEnable, 1);
    device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
    SetStage(device, 0, TextureOp::Modulate, TextureArg::Texture, TextureArg::Diffuse);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::SelectArg1);
    device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
    nullShader_.Bind();
    device.SetRenderTarget(0, glowSurface0_);
    device.Clear(ClearFlags::Target | ClearFlags::ZBuffer, kOpaqueBlack, 1.0f, 0);
    for (Material* material : models_) {
        GlowMaterialDraw(*material);
        DrawInstances(*material);
    }

    device.SetRenderState(RenderState::ZWriteEnable, 0);
    device.SetRenderState(RenderState::AlphaTestEnable, 0);
    glowVertexShader_.Bind();
    glowPixelShader_.Bind();
    glowVertexShader_.SetBlur(blur_);
    glowVertexShader_.SetTexelOffset(glowWidth_, glowHeight_);
    glowVertexShader_.SetHorizontal(true);
    glowPixelShader_.SetGlowColor(Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    device.SetRenderState(RenderState::ZFunc, Compare::Always);
    device.SetRenderState(RenderState::CullMode, Cull::None);
    device.SetSamplerState(0, SamplerState::AddressU, TextureAddress::Clamp);
    device.SetSamplerState(0, SamplerState::AddressV, TextureAddress::Clamp);

    device.SetRenderTarget(0, glowSurface1_);
    device.SetTexture(0, glowTexture0_.get());
    device.SetFVF(QuadVertex::kFvf);
    DrawScreenQuad();

    glowVertexShader_.SetHorizontal(false);
    glowPixelShader_.SetGlowColor(glowColor_);
    device.SetRenderTarget(0, glowSurface0_);
    device.SetTexture(0, glowTexture1_.get());
    DrawScreenQuad();
    device.SetRenderTarget(0, backBuffer_);
    SetBlending(device, true, Blend::One, Blend::One);
    SpreadGlow();

    device.SetRenderState(RenderState::CullMode, Cull::CW);
    device.SetPixelShader(nullptr);
    Notify("glow");
}

void Renderer::SpritePass()
{
    GraphicsDevice& device = *Device();
    if (sprites_.Count() > 0) {
        BuildSpriteVertices(sprites_, DisplayWidth(), DisplayHeight(), &spriteVertices_);
        // Screen vertices are already transformed: no vertex shader may touch them.
        device.SetVertexShader(nullptr);
        device.SetPixelShader(nullptr);
        device.SetFVF(ScreenVertex::kFvf);
        device.SetRenderState(RenderState::ZEnable, 0);
        device.SetTextureStageState(0, StageState::TexCoordIndex, 0);
        SetStage(device, 0, TextureOp::Modulate, TextureArg::Texture, TextureArg::Diffuse);
        device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::Modulate);
        device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Texture);
        device.SetTextureStageState(0, StageState::AlphaArg2, TextureArg::Diffuse);
        DrawBatches(sprites_, spriteVertices_);
    }
    Notify("sprites");
}

void Renderer::FadeOverlay(const Vec4& fadeColor, float fade)
{
    GraphicsDevice& device = *Device();
    const float amount = std::clamp(fade, 0.0f, 1.0f);
    const uint32_t color = PackColor(ColorByte(amount), ColorByte(fadeColor.x), ColorByte(fadeColor.y),
                                     ColorByte(fadeColor.z));
    const auto w = static_cast<float>(DisplayWidth());
    const auto h = static_cast<float>(DisplayHeight());
    const ScreenColorVertex corners[6] = {{0, 0, 0.5f, 1, color}, {w, 0, 0.5f, 1, color}, {w, h, 0.5f, 1, color},
                                          {w, h, 0.5f, 1, color}, {0, h, 0.5f, 1, color}, {0, 0, 0.5f, 1, color}};
    device.SetVertexShader(nullptr);
    device.SetPixelShader(nullptr);
    device.SetFVF(ScreenColorVertex::kFvf);
    device.SetRenderState(RenderState::ZFunc, Compare::Always);
    device.SetRenderState(RenderState::CullMode, Cull::None);
    SetBlending(device, true, Blend::SrcAlpha, Blend::InvSrcAlpha);
    device.SetTexture(0, nullptr);
    SetStage(device, 0, TextureOp::SelectArg1, TextureArg::Diffuse, TextureArg::Texture);
    device.SetTextureStageState(0, StageState::AlphaOp, TextureOp::SelectArg1);
    device.SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Diffuse);
    device.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, corners, sizeof(ScreenColorVertex));
    Notify("fade");
}

void Renderer::EndFrame()
{
    models_.ResetCount();
    lights_.ResetCount();
    sprites_.ResetCount();
    particles_.ResetCount();
    ++frameCounter_;
}
