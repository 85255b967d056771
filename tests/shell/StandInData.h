#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/ModelFile.h"
#include "tools/modelwriter/ModelWriter.h"
#include "tools/modelwriter/PictureWriter.h"
#include "tools/rarwriter/RarWriter.h"

// A title scene and the pictures around it, made here so that the shell's tests and screenshots
// run before the real art exists: a ground of blocks under a wandering light, seen through an
// animated "introCam", a banner, a prompt and a dialog logo.
namespace standin {

constexpr int kFrames = 50;  // 5 s of animation at 10 keys per second

inline MeshVertex At(float x, float y, float z, Float3 n, float u, float v)
{
    return {{x, y, z}, {n.x, n.y, n.z}, {u, v}, {}, {}};
}

// An axis-aligned box, each face wound clockwise seen from outside.
inline ModelFileObject Box(int32_t material, Float3 low, Float3 high)
{
    ModelFileObject box;
    box.material = material;
    const float x[2] = {low.x, high.x}, y[2] = {low.y, high.y}, z[2] = {low.z, high.z};
    struct Face {
        Float3 normal;
        int corners[4][3];  // indices into x, y, z
    };
    const Face faces[] = {
        {{0, 1, 0}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}},
        {{0, -1, 0}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}},
        {{0, 0, -1}, {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}},
        {{0, 0, 1}, {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}}},
        {{-1, 0, 0}, {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}},
        {{1, 0, 0}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}},
    };
    for (const Face& face : faces) {
        const auto base = static_cast<uint32_t>(box.vertices.size());
        const float uv[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
        for (int c = 0; c < 4; ++c) {
            box.vertices.push_back(At(x[face.corners[c][0]], y[face.corners[c][1]], z[face.corners[c][2]], face.normal, uv[c][0], uv[c][1]));
        }
        for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) box.indices.push_back(base + i);
    }
    return box;
}

inline ModelFile Level()
{
    ModelFile model;
    model.frameCount = kFrames;
    model.animated = true;
    model.materials = {{{0.3f, 0.3f, 0.35f}, {0.35f, 0.4f, 0.5f}, "", "", false, false},
                       {{0.2f, 0.1f, 0.1f}, {0.8f, 0.5f, 0.3f}, "", "", false, false},
                       {{0.1f, 0.3f, 0.4f}, {0.3f, 0.9f, 1.0f}, "", "", false, true}};
    model.objects.push_back(Box(0, {-300, -2, -100}, {300, 0, 700}));
    for (int row = 0; row < 8; ++row) {
        for (int column = -3; column <= 3; ++column) {
            const float height = 10.0f + 25.0f * static_cast<float>((row * 7 + column * 3 + 21) % 5);
            const float cx = static_cast<float>(column) * 70.0f, cz = static_cast<float>(row) * 80.0f;
            const int32_t material = (row + column) % 4 == 0 ? 2 : 1;
            model.objects.push_back(Box(material, {cx - 18, 0, cz - 18}, {cx + 18, height, cz + 18}));
        }
    }
    ModelFileLight light;
    light.animated = true;
    ModelFileCamera camera;
    camera.name = "introCam";
    camera.animated = true;
    for (int f = 0; f < kFrames; ++f) {
        const float s = static_cast<float>(f) / kFrames;
        const float angle = 6.2831853f * s;
        light.colourKeys.push_back({1.0f, 0.85f, 0.6f});
        light.positionKeys.push_back({150.0f * std::cos(angle), 90.0f, 280.0f + 200.0f * std::sin(angle)});
        light.radiusKeys.push_back(420.0f);
        camera.eyeKeys.push_back({-60.0f + 120.0f * s, 170.0f, -120.0f + 200.0f * s});
        camera.targetKeys.push_back({0.0f, 0.0f, 260.0f + 200.0f * s});
        camera.fieldOfViewKeys.push_back(0.9f);
    }
    model.lights = {light, {{0.25f, 0.3f, 0.5f}, {-200, 300, 600}, 900, false, {}, {}, {}}};
    model.cameras = {camera};
    return model;
}

inline Picture Paint(uint32_t width, uint32_t height, uint32_t (*colour)(uint32_t x, uint32_t y, uint32_t w, uint32_t h))
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y, width, height);
            for (int k = 0; k < 4; ++k) picture.rgba[(static_cast<size_t>(y) * width + x) * 4 + k] = static_cast<uint8_t>(c >> (24 - 8 * k));
        }
    }
    return picture;
}

// RGBA packed as 0xRRGGBBAA.
inline uint32_t Banner(uint32_t x, uint32_t y, uint32_t w, uint32_t h)
{
    const bool band = y > h / 4 && y < 3 * h / 4;
    const bool stripe = band && (x / 8) % 3 == 0 && x > w / 8 && x < 7 * w / 8;
    if (stripe) return 0xF0C040FF;
    return band ? 0x20304090 : 0x00000000;
}
inline uint32_t Prompt(uint32_t x, uint32_t y, uint32_t w, uint32_t h)
{
    const bool letter = y > h / 4 && y < 3 * h / 4 && (x / 6) % 2 == 0 && x > w / 10 && x < 9 * w / 10;
    return letter ? 0xFFFFFFFF : 0x000000FF;
}
inline uint32_t FlatNormal(uint32_t, uint32_t, uint32_t, uint32_t) { return 0x8080FFFF; }
inline uint32_t Logo(uint32_t x, uint32_t y, uint32_t w, uint32_t h)
{
    const float dx = static_cast<float>(x) - static_cast<float>(w) / 2, dy = static_cast<float>(y) - static_cast<float>(h) / 2;
    const bool ring = std::fabs(std::sqrt(dx * dx + dy * dy) - 30.0f) < 6.0f;
    const auto shade = static_cast<uint32_t>(40 + 100 * y / h);
    return ring ? 0xE0A030FF : (shade << 24) | (shade / 2 << 16) | (60u << 8) | 0xFF;
}

// Every file of the stand-in data by name.
inline std::vector<std::pair<std::string, std::vector<uint8_t>>> Files()
{
    return {{"level.3df", ModelWriter::Write(Level())},
            {"banner.tga", PictureWriter::Tga(Paint(256, 128, Banner), {PictureWriter::TgaLayout::TrueColour, true})},
            {"tetters.jpg", PictureWriter::Jpeg(Paint(256, 32, Prompt), 90)},
            {"bump_neutral.jpg", PictureWriter::Jpeg(Paint(8, 8, FlatNormal), 95)},
            {"logo.bmp", PictureWriter::Bmp(Paint(126, 89, Logo), 24, false)}};
}

// The files as loose files in the folder.
inline void WriteLoose(const std::filesystem::path& folder)
{
    for (const auto& [name, bytes] : Files()) {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

// The files packed as an archive at path.
inline bool WriteArchive(const std::string& path)
{
    RarWriter writer;
    for (const auto& [name, bytes] : Files()) {
        if (!writer.Add(name, bytes, 1)) return false;
    }
    return writer.WriteFile(path);
}

}  // namespace standin
