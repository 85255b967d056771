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
    // As signed vectors the texel (0.57, -0.22, -0.61) and diffuse (-0.22, 0.57, 0.96) face apart.
    {"dot product 3 of vectors facing apart is black, not negative", TextureOp::DotProduct3, TextureArg::Current,
     TextureArg::Texture, TextureArg::Diffuse, 0, 0, 0},
    {"an unknown argument reads the current colour", TextureOp::SelectArg1, TextureArg::Current, 9, TextureArg::Texture,
     100, 200, 250},
};

}  // namespace

TEST_F(GLDeviceTest, EachTextureStageSetUpGivesTheHandComputedColour)
{
    auto texture = SolidTexture(*device_, 200, 100, 50, 128);
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
