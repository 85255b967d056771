#include "tests/device/gl/GLTestDevice.h"

#include <cmath>

#include "engine/platform/Log.h"

namespace {

const char* kColourVertexShader = "uniform mat4 worldViewProj;\nuniform vec4 diffuseColor;\n"
                                  "void main() { oPos = inPosition * worldViewProj; oD0 = diffuseColor; oT0 = inTexCoord0; }\n";
const char* kTintPixelShader = "uniform vec4 tint;\nvoid main() { oC0 = texture(s0, vT0.xy) * vD0 * tint; }\n";

const QuadVertex kWhole[6] = {
    {-1, -1, 0.5f, 0, 0}, {1, -1, 0.5f, 1, 0}, {-1, 1, 0.5f, 0, 1},
    {1, -1, 0.5f, 1, 0},  {1, 1, 0.5f, 1, 1},  {-1, 1, 0.5f, 0, 1},
};

}  // namespace

class GLShaderTest : public GLDeviceTest {
protected:
    void SetUp() override
    {
        GLDeviceTest::SetUp();
        if (HasFatalFailure()) return;
        std::string messages;
        vertex_ = device_->CreateVertexShader(WriteShader("colour.vsh", kColourVertexShader).c_str(), &messages);
        ASSERT_NE(vertex_, nullptr) << messages;
        pixel_ = device_->CreatePixelShader(WriteShader("tint.psh", kTintPixelShader).c_str(), &messages);
        ASSERT_NE(pixel_, nullptr) << messages;
        vertex_->SetMatrix(vertex_->GetConstantByName("worldViewProj"), Matrix::Identity());
        device_->SetFVF(QuadVertex::kFvf);
        SetStage(0, TextureOp::SelectArg1, TextureArg::Diffuse);
    }

    void Draw(const QuadVertex (&quad)[6])
    {
        ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(QuadVertex)));
    }

    std::unique_ptr<DeviceShader> vertex_;
    std::unique_ptr<DeviceShader> pixel_;
};

TEST_F(GLShaderTest, ASourceThatDoesNotCompileGivesNullAndTheCompilerMessages)
{
    std::vector<std::string> logged;
    Log::SetListener([&](int level, const std::string& text) {
        if (level == 4) logged.push_back(text);
    });
    std::string messages;
    auto broken = device_->CreateVertexShader(WriteShader("broken.vsh", "void main() { oPos = undeclared; }").c_str(), &messages);
    Log::SetListener(nullptr);
    EXPECT_EQ(broken, nullptr);
    EXPECT_NE(messages.find("undeclared"), std::string::npos) << messages;
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged[0].find("broken.vsh"), std::string::npos);

    EXPECT_EQ(device_->CreatePixelShader("/nonexistent/glowpixelshader.psh", &messages), nullptr);
    EXPECT_NE(messages.find("glowpixelshader.psh"), std::string::npos);
    EXPECT_EQ(device_->CreatePixelShader(WriteShader("empty.psh", "").c_str(), &messages), nullptr);
}

TEST_F(GLShaderTest, DestroyingABoundShaderFallsBackToTheFixedStages)
{
    device_->SetVertexShader(vertex_.get());
    device_->SetPixelShader(pixel_.get());
    pixel_.reset();
    vertex_.reset();
    EXPECT_EQ(device_->GetVertexShader(), nullptr);
    EXPECT_EQ(device_->GetPixelShader(), nullptr);
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    device_->SetFVF(ScreenColorVertex::kFvf);
    DrawFullScreen(PackColor(255, 10, 20, 30));
    EXPECT_TRUE(Near(PixelAt(1, 1), 10, 20, 30));
}

// Meshes through the fixed transform: world × view × projection, left-handed, depth 0..1.
TEST_F(GLDeviceTest, MeshesDrawThroughViewAndProjectionAsDirect3DWould)
{
    const MeshVertex vertices[4] = {Vertex(-1, 0, 0), Vertex(1, 0, 0), Vertex(-1, 1, 0), Vertex(1, 1, 0)};
    // Clockwise as seen from the camera at −z looking along +z with y up.
    const uint16_t indices[6] = {0, 2, 1, 1, 2, 3};
    auto vb = device_->CreateVertexBuffer(vertices, 4);
    auto ib = device_->CreateIndexBuffer(indices, 6);
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(ib, nullptr);

    device_->SetTransform(TransformType::View, Matrix::LookAtLH(Vec4(0, 0, -5), Vec4(0, 0, 0), Vec4(0, 1, 0)));
    device_->SetTransform(TransformType::Projection, Matrix::PerspectiveFovLH(Pi() / 2, 1.0f, 1.0f, 100.0f));
    SetStage(0, TextureOp::SelectArg1, TextureArg::Diffuse);
    device_->SetRenderState(RenderState::CullMode, Cull::CCW);
    device_->SetRenderState(RenderState::ZEnable, 1);
    device_->SetStreamSource(vb.get());
    device_->SetIndices(ib.get());
    device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 0), 1.0f, 0);
    ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 2));
    // x −1..1 at distance 5 with a 90° view: pixels 25.6..38.4; y 0..1 is above the centre row.
    EXPECT_TRUE(Near(PixelAt(32, 29), 255, 255, 255));
    EXPECT_TRUE(Near(PixelAt(32, 35), 0, 0, 0));
    EXPECT_TRUE(Near(PixelAt(24, 29), 0, 0, 0));
    EXPECT_TRUE(Near(PixelAt(39, 29), 0, 0, 0));

    // Seen from behind, the winding turns counter-clockwise: culled by Cull::CCW, kept by Cull::CW.
    device_->Clear(ClearFlags::Target | ClearFlags::ZBuffer, PackColor(255, 0, 0, 0), 1.0f, 0);
    device_->SetTransform(TransformType::View, Matrix::LookAtLH(Vec4(0, 0, 5), Vec4(0, 0, 0), Vec4(0, 1, 0)));
    ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 2));
    EXPECT_TRUE(Near(PixelAt(32, 29), 0, 0, 0));
    device_->SetRenderState(RenderState::CullMode, Cull::CW);
    ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 2));
    EXPECT_TRUE(Near(PixelAt(32, 29), 255, 255, 255));
}

TEST_F(GLDeviceTest, MeshesOfMoreThan65535VerticesDrawWith32BitIndices)
{
    std::vector<MeshVertex> vertices(70000, Vertex(0, 0, 0));
    vertices[69997] = Vertex(-1, -1, 0.5f);
    vertices[69998] = Vertex(-1, 1, 0.5f);
    vertices[69999] = Vertex(1, -1, 0.5f);
    const uint32_t indices[3] = {69997, 69998, 69999};
    auto vb = device_->CreateVertexBuffer(vertices.data(), static_cast<uint32_t>(vertices.size()));
    auto ib = device_->CreateIndexBuffer(indices, 3);
    ASSERT_NE(ib, nullptr);
    EXPECT_EQ(ib->Format(), IndexFormat::Index32);

    SetStage(0, TextureOp::SelectArg1, TextureArg::Diffuse);
    device_->SetStreamSource(vb.get());
    device_->SetIndices(ib.get());
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 1));
    EXPECT_TRUE(Near(PixelAt(4, kHeight - 4), 255, 255, 255));
    EXPECT_TRUE(Near(PixelAt(kWidth - 4, 4), 0, 0, 0));
}

TEST_F(GLShaderTest, ConstantsOfEveryTypeReachTheShaderAndTheTablesHoldOnlyTheSourcesOwn)
{
    EXPECT_NE(vertex_->GetConstantByName("diffuseColor"), kNullConstant);
    EXPECT_NE(pixel_->GetConstantByName("tint"), kNullConstant);
    for (const char* name : {"radius", "harnViewport"}) EXPECT_EQ(vertex_->GetConstantByName(name), kNullConstant) << name;
    EXPECT_EQ(pixel_->GetConstantByName("s0"), kNullConstant) << "samplers are not constants";

    const char* source = "uniform float level;\nuniform bool useLevel;\nuniform vec4 color;\nuniform mat4 place;\n"
                         "void main() { oPos = inPosition * place; oD0 = useLevel ? vec4(level, level, level, 1.0) : color; }\n";
    auto shader = device_->CreateVertexShader(WriteShader("types.vsh", source).c_str());
    ASSERT_NE(shader, nullptr);
    for (const auto& [name, type] : {std::pair{"level", ConstantType::Float}, std::pair{"useLevel", ConstantType::Bool},
                                     std::pair{"color", ConstantType::Vec4}, std::pair{"place", ConstantType::Matrix4}}) {
        const ShaderConstant* constant = shader->Constants().Find(shader->GetConstantByName(name));
        ASSERT_NE(constant, nullptr) << name;
        EXPECT_EQ(constant->type, type) << name;
    }
    // The matrix moves the quad into the right half: x' = 0.5 x + 0.5.
    shader->SetMatrix(shader->GetConstantByName("place"), Matrix::Scaling(0.5f, 1, 1) * Matrix::Translation(0.5f, 0, 0));
    shader->SetVector(shader->GetConstantByName("color"), Vec4(1, 0, 0, 1));
    shader->SetFloat(shader->GetConstantByName("level"), 0.5f);
    shader->SetBool(shader->GetConstantByName("useLevel"), false);
    device_->SetVertexShader(shader.get());
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    Draw(kWhole);
    EXPECT_TRUE(Near(PixelAt(48, 32), 255, 0, 0));
    EXPECT_TRUE(Near(PixelAt(16, 32), 0, 0, 0));

    shader->SetBool(shader->GetConstantByName("useLevel"), true);
    Draw(kWhole);
    EXPECT_TRUE(Near(PixelAt(48, 32), 128, 128, 128));
}

// Clip-space geometry keeps Direct3D's pixel centres: a full-target quad with texture coordinates
// 0..1 samples pixel i at u = i / width, half a texel before its centre, which is what the glow
// pass's half-texel offset makes up for.
TEST_F(GLShaderTest, ClipSpaceQuadsSampleWithDirect3DsHalfPixelOffset)
{
    const uint8_t texels[8] = {0, 0, 0, 255, 255, 255, 255, 255};
    auto ramp = device_->CreateTexture(2, 1, texels, false);
    ASSERT_NE(ramp, nullptr);
    const char* passThrough = "void main() { oPos = inPosition; oT0 = inTexCoord0; }";
    auto shader = device_->CreateVertexShader(WriteShader("pass.vsh", passThrough).c_str());
    ASSERT_NE(shader, nullptr);
    device_->SetVertexShader(shader.get());
    device_->SetTexture(0, ramp.get());
    SetStage(0, TextureOp::SelectArg1, TextureArg::Texture);
    for (SamplerState s : {SamplerState::MagFilter, SamplerState::MinFilter}) device_->SetSamplerState(0, s, TextureFilterType::Linear);
    device_->SetSamplerState(0, SamplerState::AddressU, TextureAddress::Clamp);
    device_->SetSamplerState(0, SamplerState::AddressV, TextureAddress::Clamp);
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    Draw(kWhole);
    // Pixel 32 of 64 samples u = 0.5 exactly: halfway between the two texels.
    EXPECT_TRUE(Near(PixelAt(32, 10), 128, 128, 128, 1));
    // Pixel 16 samples u = 0.25, the black texel's centre.
    EXPECT_TRUE(Near(PixelAt(16, 10), 0, 0, 0, 1));
}

// A constant that only feeds an extra register (oT8 .. oT15) is still found, and the register
// reaches a pixel shader that reads it.
TEST_F(GLShaderTest, ExtraRegistersCarryTheirConstantsToThePixelShader)
{
    const char* source = "uniform vec4 far;\n"
                         "void main() { oPos = vec4(inPosition.xyz, 1.0); oT12 = far; }\n";
    auto vertex = device_->CreateVertexShader(WriteShader("extra.vsh", source).c_str());
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(vertex->GetConstantByName("far"), kNullConstant);
    auto pixel = device_->CreatePixelShader(WriteShader("extra.psh", "void main() { oC0 = vT12; }\n").c_str());
    ASSERT_NE(pixel, nullptr);
    vertex->SetVector(vertex->GetConstantByName("far"), Vec4(0, 1, 0, 1));
    device_->SetVertexShader(vertex.get());
    device_->SetPixelShader(pixel.get());
    device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 0), 1.0f, 0);
    Draw(kWhole);
    EXPECT_TRUE(Near(PixelAt(32, 32), 0, 255, 0));
}

// Pixels of alpha 128 drawn in turn with the alpha test off and on, through a pixel shader and
// through the texture stages: only a test whose function refuses 128 drops them, whichever program
// the draw before used.
TEST_F(GLShaderTest, TheAlphaTestDropsOnlyWhatItsFunctionRefusesWithShadersAndStagesAlike)
{
    struct Row {
        bool enabled;
        uint32_t function;
        uint32_t reference;
        bool drawn;
    };
    const Row rows[] = {
        {false, Compare::Greater, 200, true}, {true, Compare::Greater, 200, false}, {true, Compare::Greater, 100, true},
        {false, Compare::Never, 0, true},     {true, Compare::Never, 0, false},     {true, Compare::Always, 255, true},
        {true, Compare::LessEqual, 100, false},
    };
    vertex_->SetVector(vertex_->GetConstantByName("diffuseColor"), Vec4(0, 1, 0, 128.0f / 255.0f));
    pixel_->SetVector(pixel_->GetConstantByName("tint"), Vec4(1, 1, 1, 1));
    for (const bool shaded : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(shaded ? "pixel shader" : "texture stages") + ", test " + (row.enabled ? "on" : "off") +
                         ", function " + std::to_string(row.function) + ", reference " + std::to_string(row.reference));
            device_->SetRenderState(RenderState::AlphaTestEnable, row.enabled ? 1 : 0);
            device_->SetRenderState(RenderState::AlphaFunc, row.function);
            device_->SetRenderState(RenderState::AlphaRef, row.reference);
            device_->Clear(ClearFlags::Target, PackColor(255, 0, 0, 255), 1.0f, 0);
            if (shaded) {
                device_->SetVertexShader(vertex_.get());
                device_->SetPixelShader(pixel_.get());
                Draw(kWhole);
            } else {
                device_->SetVertexShader(nullptr);
                device_->SetPixelShader(nullptr);
                SelectDiffuse();
                DrawFullScreen(PackColor(128, 0, 255, 0));
            }
            EXPECT_TRUE(row.drawn ? Near(PixelAt(20, 20), 0, 255, 0) : Near(PixelAt(20, 20), 0, 0, 255));
        }
    }
}
