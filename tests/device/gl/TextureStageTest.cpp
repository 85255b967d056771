#include "tests/device/gl/GLTestDevice.h"

namespace {

struct StageCase {
    const char* name;
    uint32_t colorOp;
    uint32_t arg0, arg1, arg2;
    int r, g, b;  // worked out by hand from the texel, diffuse and texture factor below
    bool unbound = false;  // no texture on the stage
};

// Texel (200, 100, 50, alpha 128); diffuse (100, 200, 250); texture factor (0, 0, 255).
const StageCase kStageCases[] = {
    {"select diffuse", TextureOp::SelectArg2, TextureArg::Current, TextureArg::Texture, TextureArg::Diffuse, 100, 200, 250},
    {"select texture", TextureOp::SelectArg1, TextureArg::Current, TextureArg::Texture, TextureArg::Diffuse, 200, 100, 50},
    {"select texture factor", TextureOp::SelectArg1, TextureArg::Current, TextureArg::TFactor, TextureArg::Diffuse, 0, 0, 255},
    {"modulate texture and diffuse", TextureOp::Modulate, TextureArg::Current, TextureArg::Texture, TextureArg::Diffuse, 78, 78, 49},
    {"modulate diffuse and texture", TextureOp::Modulate, TextureArg::Current, TextureArg::Diffuse, TextureArg::Texture, 78, 78, 49},
    // 0.502 × factor + 0.498 × diffuse
    {"lerp by texture alpha from factor to diffuse", TextureOp::Lerp, TextureArg::Texture | TextureArg::AlphaReplicate,
     TextureArg::TFactor, TextureArg::Diffuse, 50, 100, 252},
    {"disabled stage gives diffuse", TextureOp::Disable, TextureArg::Current, TextureArg::Texture, TextureArg::Diffuse, 100, 200, 250},
    {"texture alpha replicated", TextureOp::SelectArg1, TextureArg::Current, TextureArg::Texture | TextureArg::AlphaReplicate,
     TextureArg::Diffuse, 128, 128, 128},
    {"complement of diffuse", TextureOp::SelectArg1, TextureArg::Current, TextureArg::Diffuse | TextureArg::Complement,
     TextureArg::Diffuse, 155, 55, 5},
    {"an unbound texture reads as opaque white", TextureOp::Modulate, TextureArg::Current, TextureArg::Texture,
     TextureArg::Diffuse, 100, 200, 250, true},
    {"an unknown operation selects its first argument", 99, TextureArg::Current, TextureArg::Texture, TextureArg::Diffuse,
     200, 100, 50},
    {"an unknown argument reads the current colour", TextureOp::SelectArg1, TextureArg::Current, 9, TextureArg::Texture,
     100, 200, 250},
};

}  // namespace

TEST_F(GLDeviceTest, EachTextureStageSetUpGivesTheHandComputedColour)
{
    auto texture = SolidTexture(200, 100, 50, 128);
    ASSERT_NE(texture, nullptr);
    for (const StageCase& c : kStageCases) {
        SCOPED_TRACE(c.name);
        device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
        device_->SetTexture(0, c.unbound ? nullptr : texture.get());
        device_->SetRenderState(RenderState::TextureFactor, PackColor(255, 0, 0, 255));
        SetStage(0, c.colorOp, c.arg1, c.arg2);
        device_->SetTextureStageState(0, StageState::ColorArg0, c.arg0);
        SetAlphaStage(0, TextureOp::Disable);
        DrawFullScreen(PackColor(255, 100, 200, 250));
        EXPECT_TRUE(Near(PixelAt(kWidth / 2, kHeight / 2), c.r, c.g, c.b));
    }
}

TEST_F(GLDeviceTest, DotProduct3ComparesTheTwoArgumentsAsSignedVectors)
{
    // Texel (255, 128, 128) is (0.5, 0.002, 0.002) around the centre; diffuse (191, 128, 128) is
    // (0.249, 0.002, 0.002); 4 × their dot product is 0.498, grey 127 in every channel.
    auto normal = SolidTexture(255, 128, 128, 255);
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    device_->SetTexture(0, normal.get());
    SetStage(0, TextureOp::DotProduct3, TextureArg::Texture, TextureArg::Diffuse);
    SetAlphaStage(0, TextureOp::Disable);
    DrawFullScreen(PackColor(255, 191, 128, 128));
    EXPECT_TRUE(Near(PixelAt(3, 3), 127, 127, 127));

    // Facing away gives black, not a negative colour.
    DrawFullScreen(PackColor(255, 0, 128, 128));
    EXPECT_TRUE(Near(PixelAt(3, 3), 0, 0, 0));
}

TEST_F(GLDeviceTest, AlphaTestKeepsOnlyPixelsAboveTheReference)
{
    auto opaque = SolidTexture(255, 255, 255, 200);
    auto clear = SolidTexture(255, 255, 255, 100);
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    device_->SetRenderState(RenderState::AlphaTestEnable, 1);
    device_->SetRenderState(RenderState::AlphaRef, 128);
    device_->SetRenderState(RenderState::AlphaFunc, Compare::Greater);
    SetStage(0, TextureOp::SelectArg2, TextureArg::Texture, TextureArg::Diffuse);
    SetAlphaStage(0, TextureOp::SelectArg1, TextureArg::Texture);
    device_->SetTexture(0, opaque.get());
    DrawScreenQuad(0, 0, 32, 64, 0.5f, PackColor(255, 0, 255, 0));
    device_->SetTexture(0, clear.get());
    DrawScreenQuad(32, 0, 64, 64, 0.5f, PackColor(255, 0, 255, 0));
    EXPECT_TRUE(Near(PixelAt(10, 10), 0, 255, 0));
    EXPECT_TRUE(Near(PixelAt(50, 10), 0, 0, 0));

    device_->SetRenderState(RenderState::AlphaTestEnable, 0);
    DrawScreenQuad(32, 0, 64, 64, 0.5f, PackColor(255, 0, 0, 255));
    EXPECT_TRUE(Near(PixelAt(50, 10), 0, 0, 255));
}

// Frame (200, 100, 50); drawn colour (100, 200, 40) with alpha 64 (0.251); the renderer's blend modes.
TEST_F(GLDeviceTest, EachBlendModeMixesWithTheFrameAsComputedByHand)
{
    const struct {
        const char* mode;
        bool blend;
        uint32_t src, dest;
        int r, g, b;
    } cases[] = {
        {"off: the drawn colour", false, Blend::One, Blend::Zero, 100, 200, 40},
        {"one, one: the sum, saturated", true, Blend::One, Blend::One, 255, 255, 90},
        {"dest colour, zero: the product", true, Blend::DestColor, Blend::Zero, 78, 78, 8},
        {"src alpha, inverse: 0.251 × drawn + 0.749 × frame", true, Blend::SrcAlpha, Blend::InvSrcAlpha, 175, 125, 47},
    };
    SelectDiffuse();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        device_->Clear(ClearFlags::Target, PackColor(255, 200, 100, 50), 1.0f, 0);
        device_->SetRenderState(RenderState::AlphaBlendEnable, c.blend);
        device_->SetRenderState(RenderState::SrcBlend, c.src);
        device_->SetRenderState(RenderState::DestBlend, c.dest);
        DrawFullScreen(PackColor(64, 100, 200, 40));
        EXPECT_TRUE(Near(PixelAt(20, 20), c.r, c.g, c.b));
    }
}
