#include "PlayData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "SoundFiles.h"
#include "engine/scene/Picture.h"
#include "tools/modelwriter/ModelFile.h"
#include "tools/modelwriter/ModelWriter.h"
#include "tools/modelwriter/PictureWriter.h"
#include "tools/rarwriter/RarWriter.h"

namespace {

constexpr uint32_t kFixedDosTime = (20u << 25) | (1u << 21) | (1u << 16);  // 1 January 2000
constexpr int32_t kKeysPerSecond = 10;
constexpr float kGroundY = -120.0f;  // units below the flight plane, under the boss (drawn 80 below)
constexpr float kGroundTile = 40.0f;  // units
constexpr float kGroundHalfWidth = 160.0f;

// ---- meshes ----

MeshVertex V(float x, float y, float z, const Float3& n, float u, float v)
{
    return {{x, y, z}, {n.x, n.y, n.z}, {u, v}, {}, {}};
}

// A quad from four corners in order, with both windings so it shows from either side.
void AddQuad(ModelFileObject& object, const Float3 (&c)[4], const Float3& normal)
{
    const auto base = static_cast<uint32_t>(object.vertices.size());
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) object.vertices.push_back(V(c[i].x, c[i].y, c[i].z, normal, uv[i][0], uv[i][1]));
    for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u, 0u, 2u, 1u, 0u, 3u, 2u}) object.indices.push_back(base + i);
}

// A box centred at c with the given full sizes.
void AddBox(ModelFileObject& object, const Float3& c, const Float3& s)
{
    const float x0 = c.x - s.x / 2, x1 = c.x + s.x / 2, y0 = c.y - s.y / 2, y1 = c.y + s.y / 2;
    const float z0 = c.z - s.z / 2, z1 = c.z + s.z / 2;
    AddQuad(object, {{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}}, {0, 1, 0});
    AddQuad(object, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}, {0, -1, 0});
    AddQuad(object, {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}}, {0, 0, -1});
    AddQuad(object, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}, {0, 0, 1});
    AddQuad(object, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}}, {-1, 0, 0});
    AddQuad(object, {{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}}, {1, 0, 0});
}

ModelFileMaterial Colour(float r, float g, float b, bool glow = false)
{
    ModelFileMaterial material;
    material.ambient = {r * 0.5f, g * 0.5f, b * 0.5f};
    material.diffuse = {r, g, b};
    material.glow = glow;
    return material;
}

ModelFileObject Boxes(int32_t material, std::initializer_list<std::pair<Float3, Float3>> boxes)
{
    ModelFileObject object;
    object.material = material;
    for (const auto& [centre, size] : boxes) AddBox(object, centre, size);
    return object;
}

// ---- models ----

ModelFile Ship()
{
    ModelFile model;
    model.materials = {Colour(0.7f, 0.75f, 0.85f), Colour(1.0f, 0.55f, 0.15f, true)};
    model.objects = {Boxes(0, {{{0, 0, 0}, {6, 4, 18}}, {{0, 0, -2}, {18, 2, 6}}}),
                     Boxes(1, {{{0, 0, -9.5f}, {3, 2, 1}}})};
    return model;
}

ModelFile Enemy(float size, const ModelFileMaterial& body)
{
    ModelFile model;
    model.materials = {body, Colour(0.3f, 1.0f, 0.4f, true)};
    model.objects = {Boxes(0, {{{0, 0, 0}, {size, size / 3, size}}, {{0, 0, 0}, {size * 1.6f, size / 6, size / 3}}}),
                     Boxes(1, {{{0, size / 5, -size / 2}, {size / 3, size / 6, size / 6}}})};
    return model;
}

ModelFile Boss()
{
    ModelFile model;
    model.frameCount = 80;
    model.materials = {Colour(0.55f, 0.3f, 0.7f), Colour(1.0f, 0.2f, 0.2f, true)};
    ModelFileObject body = Boxes(0, {{{0, 0, 0}, {70, 16, 36}}, {{0, 6, -10}, {24, 10, 18}}});
    ModelFileObject arms = Boxes(1, {{{-40, 0, 0}, {12, 8, 12}}, {{40, 0, 0}, {12, 8, 12}}});
    arms.animated = true;
    for (int f = 0; f < model.frameCount; ++f)
        arms.keys.push_back({{0, 0, 0}, {0, 1, 0}, 0.2f * static_cast<float>(f), {}});
    model.objects = {body, arms};
    ModelFileCamera camera;
    camera.name = "Camera01";
    camera.animated = true;
    for (int f = 0; f < model.frameCount; ++f) {
        const float t = static_cast<float>(f) / static_cast<float>(model.frameCount - 1);
        const float a = 2.5f * t;
        camera.eyeKeys.push_back({160.0f * std::sin(a), 120.0f + 200.0f * (1 - t), -160.0f * std::cos(a)});
        camera.targetKeys.push_back({0, 0, 0});
        camera.fieldOfViewKeys.push_back(0.9f);
    }
    model.cameras = {camera};
    return model;
}

// Two panels that slide apart over 2.7 s and stay open; the loop (3.9 s) is longer than the
// opening, so a door that plays its own time never reaches the loop's end.
ModelFile DoorModel()
{
    ModelFile model;
    model.frameCount = 40;
    model.materials = {Colour(0.5f, 0.5f, 0.45f), Colour(0.3f, 0.6f, 1.0f, true)};
    ModelFileObject frame = Boxes(0, {{{-110, 0, 0}, {20, 30, 10}}, {{110, 0, 0}, {20, 30, 10}}});
    model.objects.push_back(frame);
    for (float side : {-1.0f, 1.0f}) {
        ModelFileObject panel = Boxes(1, {{{0, 0, 0}, {50, 20, 6}}});
        panel.placement.position = {side * 25, 0, 0};
        panel.animated = true;
        for (int f = 0; f < model.frameCount; ++f) {
            const float open = std::fmin(1.0f, static_cast<float>(f) / 27.0f);
            panel.keys.push_back({{side * (25 + 50 * open), 0, 0}, {0, 0, 0}, 0, {}});
        }
        model.objects.push_back(panel);
    }
    return model;
}

// A checkered ground with pillars along both sides and a light every 400 units.
ModelFile LevelModel(float length)
{
    ModelFile model;
    model.materials = {Colour(0.25f, 0.32f, 0.25f), Colour(0.18f, 0.2f, 0.24f), Colour(0.5f, 0.45f, 0.4f)};
    ModelFileObject tiles[2];
    tiles[0].material = 0;
    tiles[1].material = 1;
    int row = 0;
    for (float z = -200.0f; z < length + 400.0f; z += kGroundTile, ++row) {
        int column = 0;
        for (float x = -kGroundHalfWidth; x < kGroundHalfWidth; x += kGroundTile, ++column) {
            const float y = kGroundY, x1 = x + kGroundTile, z1 = z + kGroundTile;
            AddQuad(tiles[(row + column) % 2], {{x, y, z}, {x1, y, z}, {x1, y, z1}, {x, y, z1}}, {0, 1, 0});
        }
    }
    ModelFileObject pillars;
    pillars.material = 2;
    for (float z = 0.0f; z < length + 400.0f; z += 200.0f) {
        AddBox(pillars, {-kGroundHalfWidth - 10, kGroundY + 15, z}, {20, 30, 20});
        AddBox(pillars, {kGroundHalfWidth + 10, kGroundY + 15, z}, {20, 30, 20});
    }
    model.objects = {tiles[0], tiles[1], pillars};
    for (float z = 0.0f; z < length + 400.0f; z += 400.0f)
        model.lights.push_back({{0.45f, 0.45f, 0.6f}, {0, 60, z}, 350.0f, false, {}, {}, {}});
    return model;
}

// ---- pictures ----

// A picture painted from each pixel's texture coordinates, every channel from 0 to 1.
Picture Paint(uint32_t width, uint32_t height, const std::function<std::array<float, 4>(float u, float v)>& pixel)
{
    Picture picture;
    AllocatePicture(picture, width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const auto rgba = pixel((static_cast<float>(x) + 0.5f) / static_cast<float>(width), (static_cast<float>(y) + 0.5f) / static_cast<float>(height));
            for (int k = 0; k < 4; ++k) picture.rgba[(y * width + x) * 4 + k] = static_cast<uint8_t>(std::lround(std::clamp(rgba[k], 0.0f, 1.0f) * 255.0f));
        }
    return picture;
}

// A bright border round a dark, half-transparent inside: the HUD's frames and bars, the credits.
Picture Panel(uint32_t width, uint32_t height, float r, float g, float b)
{
    return Paint(width, height, [=](float u, float v) -> std::array<float, 4> {
        if (u < 0.03f || u > 0.97f || v < 0.12f || v > 0.88f) return {r, g, b, 1.0f};
        return {r * 0.2f, g * 0.2f, b * 0.2f, 0.45f};
    });
}

// Light fading out from the centre, or from a ring at that radius (0: a disc), its alpha scaled by
// opacity: the shots' and shock wave's glows and the explosion's flipbook.
Picture Glow(uint32_t side, float r, float g, float b, float ring, float opacity = 1.0f)
{
    return Paint(side, side, [=](float u, float v) -> std::array<float, 4> {
        const float d = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
        const float k = ring > 0.0f ? std::fmax(0.0f, 1.0f - std::fabs(d - ring) * 8.0f) : std::fmax(0.0f, 1.0f - d);
        return {r * k, g * k, b * k, opacity < 1.0f ? k * opacity : 1.0f};
    });
}

std::vector<uint8_t> Tga(const Picture& picture)
{
    PictureWriter::TgaOptions options;
    options.alpha = true;
    return PictureWriter::Tga(picture, options);
}

void AddPictures(RarWriter& archive)
{
    const auto add = [&](const std::string& name, const std::vector<uint8_t>& bytes) { archive.Add(name, bytes, kFixedDosTime); };
    add("hud_player.tga", Tga(Panel(128, 32, 0.4f, 0.8f, 1.0f)));
    add("barra_player.tga", Tga(Panel(8, 16, 0.3f, 1.0f, 0.4f)));
    add("hud_boss.tga", Tga(Panel(256, 32, 1.0f, 0.35f, 0.3f)));
    add("barra_boss.tga", Tga(Panel(8, 16, 1.0f, 0.25f, 0.2f)));
    // The fireball grows dimmer and thinner frame by frame.
    for (int i = 0; i < 8; ++i) {
        const float age = static_cast<float>(i) / 7.0f;
        add("exp" + std::to_string(i) + ".tga", Tga(Glow(64, 1.0f - 0.4f * age, 0.9f - 0.6f * age, 0.1f, 0.0f, 0.99f - 0.8f * age)));
    }
    add("shock.jpg", PictureWriter::Jpeg(Glow(64, 0.8f, 0.9f, 1.0f, 0.8f), 90));
    add("tiro.jpg", PictureWriter::Jpeg(Glow(32, 1.0f, 0.95f, 0.6f, 0.0f), 90));
    add("end_credits.tga", Tga(Panel(256, 192, 0.9f, 0.8f, 0.3f)));
    add("bump_neutral.jpg", PictureWriter::Jpeg(Paint(4, 4, [](float, float) { return std::array<float, 4>{0.5f, 0.5f, 1.0f, 1.0f}; }), 95));
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string Block(const char* type, float x, float z, const std::string& extra = "")
{
    char text[160];
    std::snprintf(text, sizeof text, "%s { position %g %g%s%s }\n", type, static_cast<double>(x), static_cast<double>(z),
                  extra.empty() ? "" : " ", extra.c_str());
    return text;
}

}  // namespace

bool WritePlayData(const std::string& folder, const std::string& script, float levelLength)
{
    RarWriter::Options options;
    options.store = true;
    RarWriter archive(options);
    const auto model = [&](const char* name, const ModelFile& file) { archive.Add(name, ModelWriter::Write(file), kFixedDosTime); };
    model("level.3df", LevelModel(levelLength));
    model("main_ship.3df", Ship());
    model("defender.3DF", Enemy(12.0f, Colour(0.85f, 0.25f, 0.2f)));
    model("nave.3df", Enemy(9.0f, Colour(0.9f, 0.8f, 0.25f)));
    model("Boss.3df", Boss());
    model("door.3df", DoorModel());
    AddPictures(archive);
    archive.Add("teste.lvl", std::vector<uint8_t>(script.begin(), script.end()), kFixedDosTime);

    const std::filesystem::path dir(folder);
    return archive.WriteFile((dir / "data.qzr").string()) &&
           WriteBytes((dir / "fire.wav").string(), MakeWav(1, 16, 22050, SquareWave(600, 3000))) &&
           WriteBytes((dir / "explosion.wav").string(), MakeWav(1, 16, 22050, SquareWave(4000, 6000))) &&
           WriteBytes((dir / "ZEZIZIV5.it").string(), MakeModule(32, false));
}

std::string ShortLevelScript()
{
    return "# a short level: one of each #\n" + Block("DefenderN1", 0, 150) +
           Block("Sentinel", -40, 200, "wave True speed 2 amplitude 20") + Block("Door", 0, 260) +
           Block("BossN1", 0, 320) + Block("End", 0, 620);
}

std::string EmptyLevelScript()
{
    return "# nothing but the ground #\n";
}

std::string SyntheticLevelScript(float* length)
{
    std::string script = "# a busy stand-in level #\n";
    float z = 150.0f;
    for (int group = 0; group < 24; ++group, z += 110.0f) {
        if (group == 8 || group == 16) {
            script += Block("Door", 0, z);
            z += 60.0f;
            continue;
        }
        if (group % 3 == 0) {
            for (int i = 0; i < 3; ++i)
                script += Block("DefenderN1", -60.0f + 60.0f * static_cast<float>(i), z + 15.0f * static_cast<float>(i % 2));
        } else {
            const float phase = group % 2 == 0 ? 0.0f : 0.5f;
            for (int i = 0; i < 5; ++i)
                script += Block("Sentinel", -50.0f + 25.0f * static_cast<float>(i), z + 12.0f * static_cast<float>(i),
                                "wave True speed 2.5 amplitude 25 phase " + std::to_string(phase));
        }
    }
    script += Block("BossN1", 0, z);
    const float end = z + 300.0f;
    script += Block("End", 0, end);
    if (length != nullptr) *length = end;
    return script;
}
