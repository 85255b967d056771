#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/render/AlphaPixelShader.h"
#include "engine/render/GlowPixelShader.h"
#include "engine/render/GlowVertexShader.h"
#include "engine/render/NormalMapVertexShader.h"
#include "engine/render/NullDevice.h"
#include "engine/render/NullVertexShader.h"
#include "engine/render/ParticleVertexShader.h"
#include "engine/render/ShaderDirectory.h"

namespace {

// Every test reads the sources of the tree's data/ folder through a null device.
class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override { ShaderDirectory::Set(HARN_SOURCE_DIR "/data"); }
    void TearDown() override { ShaderDirectory::Set(""); }

    const float* ValueOf(const Shader& shader, const char* name) const
    {
        const ShaderConstantTable* table = shader.ConstantTable();
        if (!table) return nullptr;
        const ShaderConstant* constant = table->Find(table->GetConstantByName(name));
        return constant ? constant->value : nullptr;
    }

    NullDevice device_;
    ScopedCurrentDevice current_{&device_};
};

struct ShaderCase {
    const char* file;
    ShaderStage stage;
    std::vector<const char*> constants;
};

bool InitShader(Shader& shader)
{
    if (auto* s = dynamic_cast<NullVertexShader*>(&shader)) return s->Init();
    if (auto* s = dynamic_cast<NormalMapVertexShader*>(&shader)) return s->Init();
    if (auto* s = dynamic_cast<GlowVertexShader*>(&shader)) return s->Init();
    if (auto* s = dynamic_cast<GlowPixelShader*>(&shader)) return s->Init();
    if (auto* s = dynamic_cast<AlphaPixelShader*>(&shader)) return s->Init();
    if (auto* s = dynamic_cast<ParticleVertexShader*>(&shader)) return s->Init();
    return false;
}

}  // namespace

TEST_F(ShaderTest, EachProgramCompilesFromItsOwnFileInItsStageAndDeclaresItsConstants)
{
    NullVertexShader nullShader;
    NormalMapVertexShader normalMap;
    GlowVertexShader glowVertex;
    GlowPixelShader glowPixel;
    AlphaPixelShader alpha;
    ParticleVertexShader particle;
    const struct {
        Shader* shader;
        ShaderCase expected;
    } cases[] = {
        {&nullShader, {"nullvertexshader.vsh", ShaderStage::Vertex, {"worldViewProj", "diffuseColor"}}},
        {&normalMap,
         {"normalmapvertexshader.vsh", ShaderStage::Vertex,
          {"worldViewProj", "invWorld", "lightPosition", "diffuseColor", "radius"}}},
        {&glowVertex, {"glowvertexshader.vsh", ShaderStage::Vertex, {"blur", "hdir", "offset"}}},
        {&glowPixel, {"glowpixelshader.psh", ShaderStage::Pixel, {"glowColor"}}},
        {&alpha, {"alphapixelshader.psh", ShaderStage::Pixel, {}}},
        {&particle, {"particlevertexshader.vsh", ShaderStage::Vertex, {"up", "right", "worldViewProjMatrix"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.file);
        EXPECT_FALSE(c.shader->IsReady());
        ASSERT_TRUE(InitShader(*c.shader));
        ASSERT_TRUE(c.shader->IsReady());
        EXPECT_EQ(c.shader->Stage(), c.expected.stage);
        EXPECT_EQ(c.shader->Object()->Stage(), c.expected.stage);
        EXPECT_EQ(c.shader->Object()->SourcePath(), ShaderDirectory::PathOf(c.expected.file));
        for (const char* name : c.expected.constants) {
            EXPECT_NE(c.shader->ConstantTable()->GetConstantByName(name), kNullConstant) << name;
        }
    }
}

TEST_F(ShaderTest, BindSetsVertexShadersOnTheVertexStageAndPixelShadersOnThePixelStage)
{
    NullVertexShader vertex;
    GlowPixelShader pixel;
    ASSERT_TRUE(vertex.Init());
    ASSERT_TRUE(pixel.Init());
    vertex.Bind();
    pixel.Bind();
    EXPECT_EQ(device_.GetVertexShader(), vertex.Object());
    EXPECT_EQ(device_.GetPixelShader(), pixel.Object());
}

TEST_F(ShaderTest, NormalMapInitLeavesTheReciprocalOfAnEightyUnitReachInRadius)
{
    NormalMapVertexShader shader;
    ASSERT_TRUE(shader.Init());
    EXPECT_FLOAT_EQ(ValueOf(shader, "radius")[0], 0.0125f);
}

TEST_F(ShaderTest, SetLightRadiusWritesTheReciprocal)
{
    NormalMapVertexShader shader;
    ASSERT_TRUE(shader.Init());
    const struct {
        float radius;
        float written;
    } cases[] = {{80.0f, 0.0125f}, {4.0f, 0.25f}, {0.5f, 2.0f}};
    for (const auto& c : cases) {
        shader.SetLightRadius(c.radius);
        EXPECT_FLOAT_EQ(ValueOf(shader, "radius")[0], c.written) << c.radius;
    }
}

TEST_F(ShaderTest, NormalMapSettersWriteTheirOwnConstants)
{
    NormalMapVertexShader shader;
    ASSERT_TRUE(shader.Init());
    shader.SetWorldViewProj(Matrix::Translation(1, 2, 3));
    shader.SetInvWorld(Matrix::Scaling(4, 5, 6));
    shader.SetLightPosition(Vec4(7, 8, 9, 1));
    shader.SetDiffuseColor(Vec4(0.25f, 0.5f, 0.75f, 1));
    EXPECT_FLOAT_EQ(ValueOf(shader, "worldViewProj")[13], 2.0f);
    EXPECT_FLOAT_EQ(ValueOf(shader, "invWorld")[5], 5.0f);
    EXPECT_FLOAT_EQ(ValueOf(shader, "lightPosition")[2], 9.0f);
    EXPECT_FLOAT_EQ(ValueOf(shader, "diffuseColor")[1], 0.5f);
}

TEST_F(ShaderTest, TexelOffsetIsHalfATexelOfTheTarget)
{
    GlowVertexShader shader;
    ASSERT_TRUE(shader.Init());
    shader.SetTexelOffset(640, 480);
    const float* offset = ValueOf(shader, "offset");
    EXPECT_FLOAT_EQ(offset[0], 0.00078125f);
    EXPECT_FLOAT_EQ(offset[1], 0.0010416667f);
    EXPECT_FLOAT_EQ(offset[2], 0.0f);
    EXPECT_FLOAT_EQ(offset[3], 1.0f);
}

TEST_F(ShaderTest, TexelOffsetOfAnEmptyTargetIsZeroInsteadOfDividingByZero)
{
    GlowVertexShader shader;
    ASSERT_TRUE(shader.Init());
    shader.SetTexelOffset(0, 0);
    const float* offset = ValueOf(shader, "offset");
    EXPECT_EQ(offset[0], 0.0f);
    EXPECT_EQ(offset[1], 0.0f);
}

TEST_F(ShaderTest, GlowSettersWriteBlurDirectionAndColour)
{
    GlowVertexShader vertex;
    GlowPixelShader pixel;
    ASSERT_TRUE(vertex.Init());
    ASSERT_TRUE(pixel.Init());
    vertex.SetBlur(2.5f);
    vertex.SetHorizontal(true);
    EXPECT_FLOAT_EQ(ValueOf(vertex, "blur")[0], 2.5f);
    EXPECT_FLOAT_EQ(ValueOf(vertex, "hdir")[0], 1.0f);
    vertex.SetHorizontal(false);
    EXPECT_FLOAT_EQ(ValueOf(vertex, "hdir")[0], 0.0f);
    pixel.SetGlowColor(Vec4(1, 0.5f, 0.25f, 1));
    EXPECT_FLOAT_EQ(ValueOf(pixel, "glowColor")[2], 0.25f);
}

TEST_F(ShaderTest, ParticleCameraTakesUpAndRightFromTheViewColumnsWithoutW)
{
    ParticleVertexShader shader;
    ASSERT_TRUE(shader.Init());
    const Matrix view = Matrix::LookAtLH(Vec4(0, 200, 0), Vec4(0, 0, 0), Vec4(0, 0, 1));
    const Matrix viewProjection = view * Matrix::PerspectiveFovLH(1.0f, 1.33f, 2.0f, 5000.0f);
    shader.SetCamera(view, viewProjection);
    const float* up = ValueOf(shader, "up");
    const float* right = ValueOf(shader, "right");
    for (int row = 0; row < 3; ++row) {
        EXPECT_FLOAT_EQ(up[row], view(row, 1));
        EXPECT_FLOAT_EQ(right[row], view(row, 0));
    }
    EXPECT_EQ(up[3], 0.0f);
    EXPECT_EQ(right[3], 0.0f);
    // Looking straight down with +z up on the screen: up is +z, right is +x in the world.
    EXPECT_NEAR(up[2], 1.0f, 1e-6f);
    EXPECT_NEAR(right[0], 1.0f, 1e-6f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(ValueOf(shader, "worldViewProjMatrix")[i], viewProjection.m[i]);
}

TEST_F(ShaderTest, AlphaShaderFeedsNoConstantButKeepsItsTable)
{
    AlphaPixelShader shader;
    ASSERT_TRUE(shader.Init());
    EXPECT_NE(shader.ConstantTable(), nullptr);
}

TEST_F(ShaderTest, AConstantTheSourceDoesNotDeclareGetsANullHandleAndItsSetterDoesNothing)
{
    const std::string directory = ::testing::TempDir() + "shaders_without_radius/";
    std::filesystem::create_directories(directory);
    std::ofstream(directory + NormalMapVertexShader::kSourceFile)
        << "uniform mat4 worldViewProj;\nvoid main() { oPos = inPosition * worldViewProj; }\n";
    ShaderDirectory::Set(directory);

    NormalMapVertexShader shader;
    ASSERT_TRUE(shader.Init());
    const uint64_t before = shader.ConstantTable()->Version();
    shader.SetLightRadius(40.0f);
    shader.SetLightPosition(Vec4(1, 2, 3));
    EXPECT_EQ(shader.ConstantTable()->Version(), before);
    EXPECT_EQ(ValueOf(shader, "radius"), nullptr);
    shader.SetWorldViewProj(Matrix::Translation(1, 0, 0));
    EXPECT_GT(shader.ConstantTable()->Version(), before);
}

TEST_F(ShaderTest, AMissingSourceLeavesTheShaderEmptyAndBindTurnsTheStageOff)
{
    ShaderDirectory::Set(::testing::TempDir() + "no_such_shader_folder");
    GlowPixelShader shader;
    EXPECT_FALSE(shader.Init());
    EXPECT_FALSE(shader.IsReady());
    EXPECT_EQ(shader.ConstantTable(), nullptr);
    shader.SetGlowColor(Vec4(1, 1, 1, 1));  // must not crash
    device_.SetPixelShader(nullptr);
    shader.Bind();
    EXPECT_EQ(device_.GetPixelShader(), nullptr);
}

TEST(ShaderWithoutDevice, InitFailsQuietlyWhenNoDeviceIsCurrent)
{
    ScopedCurrentDevice none(nullptr);
    NullVertexShader shader;
    EXPECT_FALSE(shader.Init());
    shader.Bind();
    shader.SetDiffuseColor(Vec4(1, 1, 1, 1));
    EXPECT_FALSE(shader.IsReady());
}

TEST(ShaderDirectoryTest, DefaultsToTheProgramsFolderAndAddsATrailingSlash)
{
    ShaderDirectory::Set("");
    EXPECT_EQ(ShaderDirectory::Get(), ShaderDirectory::ProgramDirectory());
    EXPECT_EQ(ShaderDirectory::Get().back(), '/');
    ShaderDirectory::Set("/some/where");
    EXPECT_EQ(ShaderDirectory::PathOf("a.vsh"), "/some/where/a.vsh");
    ShaderDirectory::Set("");
}
