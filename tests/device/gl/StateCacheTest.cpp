// The OpenGL device passes on only what changed since its last draw. Each row below is a sequence
// of changes: one device draws after every change, so that it holds the earlier values when the
// next change comes; a fresh device makes the same changes and draws once. A change the first
// device failed to pass on shows as a difference between the two pictures.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "engine/device/GLStateCache.h"
#include "tests/device/gl/GLTestDevice.h"

namespace {

constexpr int kSide = 32;

const char* kTintShader = "uniform vec4 tint;\nvoid main() { oC0 = texture(s0, vT0.xy) * tint; }\n";
const char* kInverseShader = "void main() { oC0 = vec4(1.0) - texture(s0, vT0.xy); }\n";

// A device with the resources the rows use.
struct Kit {
    std::unique_ptr<OpenGLDevice> device;
    std::unique_ptr<DeviceTexture> red, green, stripes, target;
    std::unique_ptr<DeviceShader> tint, inverse;
    std::unique_ptr<VertexBuffer> square;
    std::unique_ptr<IndexBuffer> bothTriangles, oneTriangle;

    bool Open(Window& window)
    {
        std::string error;
        device = OpenGLDevice::Create(window.Handle(), &error);
        if (!device) return false;
        red = SolidTexture(*device, 255, 0, 0, 255);
        green = SolidTexture(*device, 0, 255, 0, 128);
        const uint8_t texels[8] = {0, 0, 0, 255, 255, 255, 255, 255};  // black, white
        stripes = device->CreateTexture(2, 1, texels, false);
        target = device->CreateRenderTarget(kSide, kSide);
        tint = device->CreatePixelShader(WriteShader("cache_tint.psh", kTintShader).c_str());
        inverse = device->CreatePixelShader(WriteShader("cache_inverse.psh", kInverseShader).c_str());
        const MeshVertex corners[4] = {Vertex(-1, -1, 0.5f), Vertex(1, -1, 0.5f), Vertex(-1, 1, 0.5f), Vertex(1, 1, 0.5f)};
        square = device->CreateVertexBuffer(corners, 4);
        const uint16_t both[6] = {0, 2, 1, 1, 2, 3}, one[6] = {0, 2, 1, 0, 2, 1};
        bothTriangles = device->CreateIndexBuffer(both, 6);
        oneTriangle = device->CreateIndexBuffer(one, 6);
        device->SetRenderState(RenderState::CullMode, Cull::None);
        device->SetRenderState(RenderState::ZEnable, 0);
        device->SetTextureStageState(0, StageState::ColorOp, TextureOp::SelectArg1);
        device->SetTextureStageState(0, StageState::AlphaOp, TextureOp::SelectArg1);
        return red && green && stripes && target && tint && inverse && square && bothTriangles && oneTriangle;
    }

    // Clears the current target and covers it with a quad whose u runs from -1 to 2, or draws the
    // square mesh with the selected indices; the pixels of the target after.
    std::vector<uint8_t> Draw(bool mesh)
    {
        GraphicsDevice& d = *device;
        d.Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 64), 0.6f, 0);
        if (mesh) {
            d.SetStreamSource(square.get());
            d.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 2);
        } else {
            const float s = kSide - 0.5f;
            const uint32_t c = PackColor(160, 200, 120, 40);
            const ScreenVertex quad[6] = {{-0.5f, -0.5f, 0.5f, 1, c, -1, 0}, {s, -0.5f, 0.5f, 1, c, 2, 0},
                                          {-0.5f, s, 0.5f, 1, c, -1, 1},     {s, -0.5f, 0.5f, 1, c, 2, 0},
                                          {s, s, 0.5f, 1, c, 2, 1},          {-0.5f, s, 0.5f, 1, c, -1, 1}};
            d.SetFVF(ScreenVertex::kFvf);
            d.DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(ScreenVertex));
        }
        std::vector<uint8_t> pixels;
        const int side = d.GetRenderTarget(0)->Width();
        d.ReadPixels(0, 0, side, side, &pixels);
        return pixels;
    }
};

using Step = std::function<void(Kit&)>;

struct Row {
    const char* name;
    std::vector<Step> steps;
    bool mesh = false;
};

void Blend(Kit& k, bool on, uint32_t source, uint32_t destination)
{
    k.device->SetRenderState(RenderState::AlphaBlendEnable, on ? 1 : 0);
    k.device->SetRenderState(RenderState::SrcBlend, source);
    k.device->SetRenderState(RenderState::DestBlend, destination);
}

void Stage0(Kit& k, uint32_t op, uint32_t arg1, uint32_t arg2 = TextureArg::Diffuse)
{
    k.device->SetTextureStageState(0, StageState::ColorOp, op);
    k.device->SetTextureStageState(0, StageState::ColorArg1, arg1);
    k.device->SetTextureStageState(0, StageState::ColorArg2, arg2);
}

void Texture0(Kit& k, DeviceTexture* texture)
{
    k.device->SetTexture(0, texture);
}

const Row kRows[] = {
    {"blend factors", {[](Kit& k) { Blend(k, true, Blend::One, Blend::One); },
                       [](Kit& k) { Blend(k, true, Blend::One, Blend::InvSrcAlpha); },
                       [](Kit& k) { Blend(k, true, Blend::SrcAlpha, Blend::InvSrcAlpha); }}},
    {"blending off", {[](Kit& k) { Blend(k, true, Blend::DestColor, Blend::Zero); }, [](Kit& k) { Blend(k, false, 0, 0); }}},
    {"depth function and writes",
     {[](Kit& k) {
          k.device->SetRenderState(RenderState::ZEnable, 1);
          k.device->SetRenderState(RenderState::ZFunc, Compare::Less);
      },
      [](Kit& k) { k.device->SetRenderState(RenderState::ZFunc, Compare::Greater); },
      [](Kit& k) { k.device->SetRenderState(RenderState::ZEnable, 0); }}},
    {"cull mode", {[](Kit& k) { k.device->SetRenderState(RenderState::CullMode, Cull::CW); },
                   [](Kit& k) { k.device->SetRenderState(RenderState::CullMode, Cull::CCW); }}},
    {"texture of a stage", {[](Kit& k) { Texture0(k, k.red.get()); }, [](Kit& k) { Texture0(k, k.green.get()); }}},
    {"a texture replaced by a new one, which may reuse its name",
     {[](Kit& k) { Texture0(k, k.red.get()); },
      [](Kit& k) {
          k.red.reset();
          k.red = SolidTexture(*k.device, 0, 0, 255, 255);
          Texture0(k, k.red.get());
      }}},
    {"sampler addressing and filters",
     {[](Kit& k) { Texture0(k, k.stripes.get()); },
      [](Kit& k) { k.device->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Clamp); },
      [](Kit& k) { k.device->SetSamplerState(0, SamplerState::MagFilter, TextureFilterType::Linear); },
      [](Kit& k) { k.device->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Mirror); }}},
    {"stage operations", {[](Kit& k) { Texture0(k, k.green.get()); }, [](Kit& k) { Stage0(k, TextureOp::Modulate, TextureArg::Texture); },
                          [](Kit& k) { Stage0(k, TextureOp::SelectArg2, TextureArg::Texture); }}},
    {"texture factor", {[](Kit& k) { Stage0(k, TextureOp::SelectArg1, TextureArg::TFactor); },
                        [](Kit& k) { k.device->SetRenderState(RenderState::TextureFactor, PackColor(255, 10, 90, 200)); }}},
    {"alpha test reference",
     {[](Kit& k) {
          k.device->SetTextureStageState(0, StageState::AlphaArg1, TextureArg::Diffuse);
          k.device->SetRenderState(RenderState::AlphaTestEnable, 1);
          k.device->SetRenderState(RenderState::AlphaFunc, Compare::Greater);
          k.device->SetRenderState(RenderState::AlphaRef, 100);
      },
      [](Kit& k) { k.device->SetRenderState(RenderState::AlphaRef, 200); }}},
    {"a constant changed while its shader was not bound",
     {[](Kit& k) {
          Texture0(k, k.red.get());
          k.tint->SetVector(k.tint->GetConstantByName("tint"), Vec4(0.5f, 1, 1, 1));
          k.device->SetPixelShader(k.tint.get());
      },
      [](Kit& k) { k.device->SetPixelShader(k.inverse.get()); },
      [](Kit& k) {
          k.tint->SetVector(k.tint->GetConstantByName("tint"), Vec4(0.25f, 1, 1, 1));
          k.device->SetPixelShader(k.tint.get());
      }}},
    {"indices of one mesh", {[](Kit& k) { k.device->SetIndices(k.bothTriangles.get()); },
                             [](Kit& k) { k.device->SetIndices(k.oneTriangle.get()); }},
     true},
    {"a render target and back",
     {[](Kit& k) { k.device->SetRenderTarget(0, k.target->GetSurfaceLevel0()); },
      [](Kit& k) { Blend(k, true, Blend::One, Blend::One); }, [](Kit& k) { k.device->SetRenderTarget(0, nullptr); }}},
};

}  // namespace

TEST(GLStateCache, AfterAnySequenceOfChangesADrawMatchesAFreshDevicesDraw)
{
    std::unique_ptr<Window> window = Window::Create("Harnengine", kSide, kSide, 0);
    ASSERT_NE(window, nullptr) << "no window: run inside tests/with_display.sh";
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        std::vector<uint8_t> stepped;
        {
            Kit kit;
            ASSERT_TRUE(kit.Open(*window));
            for (const Step& step : row.steps) {
                step(kit);
                stepped = kit.Draw(row.mesh);
            }
        }
        Kit fresh;
        ASSERT_TRUE(fresh.Open(*window));
        for (const Step& step : row.steps) step(fresh);
        EXPECT_EQ(fresh.Draw(row.mesh), stepped);
    }
}

// OpenGL hands a deleted texture's name to the next texture made: once forgotten, a name is bound
// again even where the cache last saw it bound, on any unit.
TEST(GLStateCache, AForgottenTextureIsBoundAgainOnEveryUnit)
{
    std::unique_ptr<Window> window = Window::Create("Harnengine", kSide, kSide, 0);
    ASSERT_NE(window, nullptr) << "no window: run inside tests/with_display.sh";
    Kit kit;
    ASSERT_TRUE(kit.Open(*window));  // for a current context
    GLStateCache cache;
    cache.ForgetAll();
    for (const unsigned int target : {GL_TEXTURE_2D, GL_TEXTURE_3D}) {
        for (const int unit : {0, 5}) {
            cache.BindTexture(unit, target, 0);
            const auto bound = cache.Counts().textures;
            cache.BindTexture(unit, target, 0);
            EXPECT_EQ(cache.Counts().textures, bound) << "a name already bound is not bound again";
            cache.ForgetTexture(0);
            cache.BindTexture(unit, target, 0);
            EXPECT_GT(cache.Counts().textures, bound) << "unit " << unit;
        }
    }
}
