#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/device/NullDevice.h"
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
    glow.SetTexelOffset(640, 480);  // half a texel of the target
    const struct { const Shader* shader; const char* name; int index; float value; } cases[] = {
        {&normalMap, "worldViewProj", 13, 2.0f}, {&normalMap, "invWorld", 5, 5.0f}, {&normalMap, "lightPosition", 2, 9.0f},
        {&normalMap, "diffuseColor", 1, 0.5f},   {&normalMap, "radius", 0, 0.25f},  {&glow, "blur", 0, 2.5f},
        {&glow, "hdir", 0, 1.0f},                {&glowColour, "glowColor", 2, 0.25f}, {&glow, "offset", 0, 0.00078125f},
        {&glow, "offset", 1, 0.0010416667f},     {&glow, "offset", 3, 1.0f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ValueOf(*c.shader, c.name)[c.index], c.value) << c.name;
    glow.SetHorizontal(false);
    EXPECT_EQ(ValueOf(glow, "hdir")[0], 0.0f);
    glow.SetTexelOffset(0, 0);  // an empty target gives zero instead of dividing by zero
    EXPECT_EQ(std::pair(ValueOf(glow, "offset")[0], ValueOf(glow, "offset")[1]), std::pair(0.0f, 0.0f));
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

// Without its source or without a device a shader stays empty and its setters and Bind do no harm.
TEST_F(ShaderTest, AMissingSourceOrDeviceLeavesTheShaderEmptyAndBindTurnsTheStageOff)
{
    ShaderDirectory::Set(::testing::TempDir() + "no_such_shader_folder");
    GlowPixelShader shader;
    EXPECT_FALSE(shader.Init());
    EXPECT_FALSE(shader.IsReady());
    EXPECT_EQ(shader.ConstantTable(), nullptr);
    shader.SetGlowColor(Vec4(1, 1, 1, 1));
    device_.SetPixelShader(nullptr);
    shader.Bind();
    EXPECT_EQ(device_.GetPixelShader(), nullptr);

    ShaderDirectory::Set(HARN_SOURCE_DIR "/data");
    ScopedCurrentDevice none(nullptr);
    NullVertexShader orphan;
    EXPECT_FALSE(orphan.Init());
    orphan.Bind();
    orphan.SetDiffuseColor(Vec4(1, 1, 1, 1));
    EXPECT_FALSE(orphan.IsReady());
}
