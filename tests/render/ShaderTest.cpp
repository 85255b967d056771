#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/device/NullDevice.h"
#include "engine/render/AlphaPixelShader.h"
#include "engine/render/GlowPixelShader.h"
#include "engine/render/GlowVertexShader.h"
#include "engine/render/NormalMapVertexShader.h"
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

}  // namespace

TEST_F(ShaderTest, EachProgramCompilesFromItsOwnFileInItsStageAndDeclaresItsConstants)
{
    const auto check = [&](Shader& shader, auto init, const char* file, ShaderStage stage, std::vector<const char*> constants) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(shader.IsReady());
        ASSERT_TRUE(init());
        ASSERT_TRUE(shader.IsReady());
        EXPECT_EQ(shader.Stage(), stage);
        EXPECT_EQ(shader.Object()->Stage(), stage);
        EXPECT_EQ(shader.Object()->SourcePath(), ShaderDirectory::PathOf(file));
        for (const char* name : constants) EXPECT_NE(shader.ConstantTable()->GetConstantByName(name), kNullConstant) << name;
        shader.Bind();  // on its own stage
        EXPECT_EQ(stage == ShaderStage::Vertex ? device_.GetVertexShader() : device_.GetPixelShader(), shader.Object());
    };
    NullVertexShader null;
    NormalMapVertexShader normalMap;
    GlowVertexShader glow;
    GlowPixelShader glowPixel;
    AlphaPixelShader alpha;
    ParticleVertexShader particle;
    const ShaderStage vertex = ShaderStage::Vertex, pixel = ShaderStage::Pixel;
    check(null, [&] { return null.Init(); }, "nullvertexshader.vsh", vertex, {"worldViewProj", "diffuseColor"});
    check(normalMap, [&] { return normalMap.Init(); }, "normalmapvertexshader.vsh", vertex,
          {"worldViewProj", "invWorld", "lightPosition", "diffuseColor", "radius"});
    check(glow, [&] { return glow.Init(); }, "glowvertexshader.vsh", vertex, {"blur", "hdir", "offset"});
    check(glowPixel, [&] { return glowPixel.Init(); }, "glowpixelshader.psh", pixel, {"glowColor"});
    check(alpha, [&] { return alpha.Init(); }, "alphapixelshader.psh", pixel, {});
    check(particle, [&] { return particle.Init(); }, "particlevertexshader.vsh", vertex, {"up", "right", "worldViewProjMatrix"});
}

TEST_F(ShaderTest, EachSetterWritesItsOwnConstantAndTheRadiusAsItsReciprocal)
{
    NormalMapVertexShader normalMap;
    GlowVertexShader glow;
    GlowPixelShader glowColour;
    ASSERT_TRUE(normalMap.Init() && glow.Init() && glowColour.Init());
    EXPECT_FLOAT_EQ(ValueOf(normalMap, "radius")[0], 0.0125f);  // a reach of 80 units
    normalMap.SetWorldViewProj(Matrix::Translation(1, 2, 3));
    normalMap.SetInvWorld(Matrix::Scaling(4, 5, 6));
    normalMap.SetLightPosition(Vec4(7, 8, 9, 1));
    normalMap.SetDiffuseColor(Vec4(0.25f, 0.5f, 0.75f, 1));
    normalMap.SetLightRadius(4.0f);
    glow.SetBlur(2.5f);
    glow.SetHorizontal(true);
    glowColour.SetGlowColor(Vec4(1, 0.5f, 0.25f, 1));
    const struct { const Shader* shader; const char* name; int index; float value; } cases[] = {
        {&normalMap, "worldViewProj", 13, 2.0f}, {&normalMap, "invWorld", 5, 5.0f}, {&normalMap, "lightPosition", 2, 9.0f},
        {&normalMap, "diffuseColor", 1, 0.5f},   {&normalMap, "radius", 0, 0.25f},  {&glow, "blur", 0, 2.5f},
        {&glow, "hdir", 0, 1.0f},                {&glowColour, "glowColor", 2, 0.25f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ValueOf(*c.shader, c.name)[c.index], c.value) << c.name;
    glow.SetHorizontal(false);
    EXPECT_EQ(ValueOf(glow, "hdir")[0], 0.0f);
}

// An empty target gives zero instead of dividing by zero.
TEST_F(ShaderTest, TexelOffsetIsHalfATexelOfTheTargetAndZeroForAnEmptyOne)
{
    GlowVertexShader shader;
    ASSERT_TRUE(shader.Init());
    const struct { int width, height; float u, v; } cases[] = {{640, 480, 0.00078125f, 0.0010416667f}, {0, 0, 0.0f, 0.0f}};
    for (const auto& c : cases) {
        shader.SetTexelOffset(c.width, c.height);
        const float* offset = ValueOf(shader, "offset");
        EXPECT_FLOAT_EQ(offset[0], c.u) << c.width;
        EXPECT_FLOAT_EQ(offset[1], c.v) << c.width;
        EXPECT_EQ(offset[3], 1.0f);
    }
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
    EXPECT_EQ(up[3], 0.0f);
    EXPECT_EQ(right[3], 0.0f);
    // Looking straight down with +z up on the screen: up is +z, right is +x in the world.
    EXPECT_NEAR(up[2], 1.0f, 1e-6f);
    EXPECT_NEAR(right[0], 1.0f, 1e-6f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(ValueOf(shader, "worldViewProjMatrix")[i], viewProjection.m[i]);
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
