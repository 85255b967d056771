#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Window.h"
#include "engine/device/OpenGLDevice.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Material.h"
#include "engine/scene/SceneObject.h"
#include "engine/scene/Texture.h"
#include "engine/scene/MeshData.h"

// The real renderer on the OpenGL device in a small window, with pictures compared against
// reference images in tests/render/golden/. Every run writes what it drew to
// <build>/picture_results/NAME.png; HARN_UPDATE_GOLDEN=1 writes the references instead (look at
// each one before committing it).
class PictureTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override;
    void TearDown() override;

    // A material of the scene; colours default to a mid grey surface.
    Material& AddMaterial(Texture* normalMap, Texture* colourTexture);
    SceneObject& AddObject(Material& material, MeshData mesh);
    Texture* Keep(std::unique_ptr<Texture> texture);

    // A renderer on the device as the tests set it up, reading its shaders from the folder.
    std::unique_ptr<Renderer> MakeRenderer(const std::string& shaderFolder);
    // Renders one frame and reads it back, RGBA, opaque.
    std::vector<uint8_t> RenderPixels(const Vec4& fadeColour = Vec4(0, 0, 0, 1), float fade = 0.0f);
    // Renders one frame and compares it with the reference of that name.
    void ExpectFrameMatches(const char* name, const Vec4& fadeColour = Vec4(0, 0, 0, 1), float fade = 0.0f);

    std::unique_ptr<Window> window_;
    std::unique_ptr<OpenGLDevice> device_;
    std::unique_ptr<Renderer> renderer_;
    std::deque<Material> materials_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    std::vector<std::unique_ptr<Texture>> textures_;
    Texture* flatNormals_ = nullptr;
};
