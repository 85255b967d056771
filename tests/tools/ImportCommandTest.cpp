#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/device/NullDevice.h"
#include "engine/scene/Picture.h"
#include "engine/scene/SceneModel.h"
#include "engine/scene/TextureCache.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/tools/GltfWriter.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/PictureWriter.h"

namespace {

// A unit cube, its faces wound counter-clockwise seen from outside; the −z face has a material of
// its own.
const char* const kCubeObj =
    "mtllib cube.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 -1\nvn 0 0 1\nvn 0 -1 0\nvn 0 1 0\nvn -1 0 0\nvn 1 0 0\n"
    "usemtl hull\nf 5/1/2 6/2/2 7/3/2 8/4/2\nf 1/1/3 2/2/3 6/3/3 5/4/3\nf 4/1/4 8/2/4 7/3/4 3/4/4\n"
    "f 1/1/5 5/2/5 8/3/5 4/4/5\nf 2/1/6 3/2/6 7/3/6 6/4/6\nusemtl engine_glow\nf 1/1/1 4/2/1 3/3/1 2/4/1\n";

const char* const kCubeMtl = "newmtl hull\nKa 0.25 0.5 0.75\nKd 0.5 0.25 1\nmap_Kd hull.jpg\nmap_Bump hull_n.jpg\n"
                             "newmtl engine_glow\nKa 0 0 0\nKd 1 0.5 0\n";

// A triangle in z = 0 facing +z, as one glTF mesh; attributes and primitive add to the
// primitive's attributes and to the primitive.
std::string TriangleMesh(GltfWriter& gltf, const std::string& name, const std::string& attributes = "", const std::string& primitive = "")
{
    const int position = gltf.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", 3);
    const int normal = gltf.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3", 3);
    const int uv = gltf.Floats({0, 0, 1, 0, 0, 1}, "VEC2", 2);
    const int indices = gltf.Shorts({0, 1, 2}, "SCALAR", 1);
    return "{\"name\": \"" + name + "\", \"primitives\": [{\"attributes\": {\"POSITION\": " + std::to_string(position) +
           ", \"NORMAL\": " + std::to_string(normal) + ", \"TEXCOORD_0\": " + std::to_string(uv) + attributes +
           "}, \"indices\": " + std::to_string(indices) + ", \"material\": 0" + primitive + "}]}";
}

// A parent stretched twice along y and turned 90° about y, carrying a child moved 2 along x, whose material glows, cuts out
// by alpha and names its maps.
std::string HierarchyGltf()
{
    GltfWriter gltf;
    const std::string mesh = TriangleMesh(gltf, "Fin");
    return gltf.Gltf(R"("scene": 0, "scenes": [{"nodes": [0]}],
        "nodes": [{"name": "Base", "rotation": [0, 0.70710678, 0, 0.70710678], "scale": [1, 2, 1], "children": [1]},
                  {"name": "Arm", "translation": [2, 0, 0], "mesh": 0}],
        "materials": [{"name": "Paint", "emissiveFactor": [0.5, 0, 0], "alphaMode": "MASK",
                       "pbrMetallicRoughness": {"baseColorFactor": [0.5, 0.25, 1, 1], "baseColorTexture": {"index": 0}},
                       "normalTexture": {"index": 1}}],
        "textures": [{"source": 0}, {"source": 1}], "images": [{"uri": "fin.png"}, {"uri": "fin_n.png"}],
        "meshes": [)" +
                     mesh + "]");
}

std::vector<uint8_t> TinyPng()
{
    Picture picture;
    AllocatePicture(picture, 2, 2);
    picture.rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    return PictureWriter::Png(picture);
}

// Over 2 s: "Spinner" turns 220° a second about y for 1.5 s, the point light "Lamp" moves 10 along x in
// the first second, "Camera01" turns 45° about y; "introCam" stands still. The spinner's
// material's picture is held inside the file's buffer.
std::string AnimatedGltf()
{
    GltfWriter gltf;
    const std::string mesh = TriangleMesh(gltf, "Blade");
    const int image = gltf.View(TinyPng());
    const int spinTimes = gltf.Floats({0, 0.5f, 1, 1.5f}, "SCALAR", 1);
    const int spin = gltf.Floats({0, 0, 0, 1, 0, 0.81915204f, 0, 0.57357644f, 0, 0.93969262f, 0, -0.34202014f, 0, 0.25881905f, 0, -0.96592583f},
        "VEC4", 4);
    const int lampTimes = gltf.Floats({0, 1}, "SCALAR", 1);
    const int lampMove = gltf.Floats({0, 5, -4, 10, 5, -4}, "VEC3", 3);
    const int turnTimes = gltf.Floats({0, 2}, "SCALAR", 1);
    const int turn = gltf.Floats({0, 0, 0, 1, 0, 0.38268343f, 0, 0.92387953f}, "VEC4", 4);
    auto sampler = [](int input, int output) {
        return "{\"input\": " + std::to_string(input) + ", \"output\": " + std::to_string(output) + "}";
    };
    return gltf.Gltf(R"("scene": 0, "scenes": [{"nodes": [0, 1, 2, 3]}],
        "extensionsUsed": ["KHR_lights_punctual"],
        "extensions": {"KHR_lights_punctual": {"lights": [{"type": "point", "color": [1, 0.5, 0.25], "range": 40}]}},
        "nodes": [{"name": "Spinner", "mesh": 0},
                  {"name": "Lamp", "translation": [0, 5, -4], "extensions": {"KHR_lights_punctual": {"light": 0}}},
                  {"name": "Camera01", "translation": [0, 0, 10], "camera": 0},
                  {"name": "introCam", "translation": [0, 3, 0], "camera": 1}],
        "cameras": [{"type": "perspective", "perspective": {"yfov": 0.7, "aspectRatio": 1.5, "znear": 1, "zfar": 100}},
                    {"type": "perspective", "perspective": {"yfov": 0.7, "znear": 1}}],
        "materials": [{"name": "Blade", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
        "textures": [{"source": 0}], "images": [{"bufferView": )" +
                    std::to_string(image) + R"(, "mimeType": "image/png"}],
        "meshes": [)" +
                    mesh + R"(],
        "animations": [{"name": "Show", "samplers": [)" +
                    sampler(spinTimes, spin) + ", " + sampler(lampTimes, lampMove) + ", " + sampler(turnTimes, turn) +
                    R"(],
            "channels": [{"sampler": 0, "target": {"node": 0, "path": "rotation"}},
                         {"sampler": 1, "target": {"node": 1, "path": "translation"}},
                         {"sampler": 2, "target": {"node": 2, "path": "rotation"}}]}])");
}

// A file of the node "Part" with a triangle mesh, and the node "Joint". What it adds: to the
// primitive's attributes, to the primitive, to "Part" and to the file's top level; accessors
// makes the accessors (from index 4 on) and gives more top-level members.
struct OneNode {
    std::string attributes{}, primitive{}, node{}, members{};
    std::function<std::string(GltfWriter&)> accessors{};
};

std::vector<uint8_t> OneNodeGltf(const OneNode& parts)
{
    GltfWriter gltf;
    const std::string mesh = TriangleMesh(gltf, "Part", parts.attributes, parts.primitive);
    const std::string extra = parts.accessors ? parts.accessors(gltf) : "";
    const std::string text =
        gltf.Gltf("\"scene\": 0, \"scenes\": [{\"nodes\": [0, 1]}], \"nodes\": [{\"name\": \"Part\", \"mesh\": 0" +
                  parts.node + "}, {\"name\": \"Joint\"}], \"materials\": [{\"name\": \"Plain\"}], \"meshes\": [" +
                  mesh + "]" + parts.members + extra);
    return {text.begin(), text.end()};
}

// A skin of one joint over the whole triangle, with or without its inverse bind matrix.
OneNode Skinned(bool bindMatrix)
{
    return {.attributes = ", \"JOINTS_0\": 4, \"WEIGHTS_0\": 5",
            .node = ", \"skin\": 0",
            .accessors = [bindMatrix](GltfWriter& w) {
                w.Shorts(std::vector<uint16_t>(12, 0), "VEC4", 4);
                w.Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4", 4);
                if (!bindMatrix) return std::string(", \"skins\": [{\"joints\": [1]}]");
                const int matrix = w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "MAT4", 16);
                return ", \"skins\": [{\"joints\": [1], \"inverseBindMatrices\": " + std::to_string(matrix) + "}]";
            }};
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

bool Near(const Vec4& a, const Vec4& b)
{
    return a.Distance(b) < 1e-3f;
}

Vec4 Corner(const SceneObject& object, uint32_t index, const Matrix& world)
{
    const float* p = object.Mesh().vertices[index].position;
    return world.Transform(Vec4(p[0], p[1], p[2], 1.0f));
}

// The direction each triangle faces by its winding, in the engine's convention: counter-clockwise
// front faces (the renderer culls clockwise ones) in a left-handed world, so (c − a) × (b − a).
std::vector<Vec4> FrontNormals(const SceneObject& object, const Matrix& world)
{
    std::vector<Vec4> normals;
    const std::vector<uint32_t>& indices = object.Mesh().indices;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const Vec4 a = Corner(object, indices[i], world);
        normals.push_back((Corner(object, indices[i + 2], world) - a).Cross(Corner(object, indices[i + 1], world) - a));
    }
    return normals;
}

class ImportCommand : public ::testing::Test {
protected:
    ~ImportCommand() override { TextureCache::Clear(); }

    std::string Save(const std::string& name, const std::string& text) const { return folder_.Write(name, Bytes(text)); }

    static CommandResult Harntool(const std::string& arguments)
    {
        return RunCommand(std::string(HARN_BINARY_DIR) + "/harntool " + arguments + " 2>&1");
    }

    // Imports IN to OUT, expects success and gives back harntool 3df's description of OUT.
    std::string ImportAndDescribe(const std::string& in, const std::string& out, const std::string& options = "")
    {
        const CommandResult imported = Harntool("import " + Quote(in) + " " + Quote(out) + " " + options);
        EXPECT_EQ(imported.status, 0) << imported.output;
        return Harntool("3df " + Quote(out)).output;
    }

    static void ExpectParts(const std::string& description, const std::vector<std::string>& parts)
    {
        for (const std::string& part : parts) EXPECT_NE(description.find(part), std::string::npos) << part << "\nin\n" << description;
    }

    NullDevice device_;
    ScopedCurrentDevice current_{&device_};
    TempFolder folder_{"import"};
};

TEST_F(ImportCommand, ObjCubeKeepsItsMaterialsScaleAndFacesOutward)
{
    Save("cube.mtl", std::string(kCubeMtl));
    const std::string out = folder_ / "cube.3df";
    ExpectParts(ImportAndDescribe(Save("cube.obj", std::string(kCubeObj)), out, "--scale 2"),
                {"{\"ambient\": [0.25, 0.5, 0.75], \"diffuse\": [0.5, 0.25, 1], \"bump\": \"hull_n.jpg\", \"texture\": \"hull.jpg\", \"alphaMask\": false, \"glow\": false}",
                 "{\"ambient\": [0, 0, 0], \"diffuse\": [1, 0.5, 0], \"bump\": \"bump_neutral.jpg\", \"texture\": \"\", \"alphaMask\": false, \"glow\": true}",
                 // Mirrored along z: the cube from z = 0 to 1 now lies from −2 to 0.
                 "{\"material\": 0, \"vertices\": 20, \"faces\": 10, \"animated\": false, \"boxMin\": [0, 0, -2], \"boxMax\": [2, 2, 0]",
                 "{\"material\": 1, \"vertices\": 4, \"faces\": 2, \"animated\": false, \"boxMin\": [0, 0, 0], \"boxMax\": [2, 2, 0]"});

    SceneModel model;
    ASSERT_TRUE(model.Load(out.c_str()));
    const Vec4 centre(1, 1, -1);
    for (const SceneObject& object : model.Objects()) {
        const std::vector<Vec4> normals = FrontNormals(object, object.local);
        const std::vector<uint32_t>& indices = object.Mesh().indices;
        for (size_t f = 0; f < normals.size(); ++f) {
            const Vec4 a = Corner(object, indices[f * 3], object.local);
            const float* n = object.Mesh().vertices[indices[f * 3]].normal;
            EXPECT_GT(normals[f].Dot(a - centre), 0.0f) << "face " << f << " is wound to face inwards";
            EXPECT_GT(normals[f].Dot(Vec4(n[0], n[1], n[2])), 0.0f) << "face " << f << " is wound against its normal";
        }
    }
}

TEST_F(ImportCommand, GltfHierarchyIsFlattenedTurnedAndMirrored)
{
    const std::string out = folder_ / "fin.3df";
    ExpectParts(ImportAndDescribe(Save("fin.gltf", HierarchyGltf()), out),
        {"{\"ambient\": [0, 0, 0], \"diffuse\": [0.5, 0.25, 1], \"bump\": \"fin_n.png\", \"texture\": \"fin.png\", "
         "\"alphaMask\": true, \"glow\": true}",
         "{\"material\": 0, \"vertices\": 3, \"faces\": 1, \"animated\": false"});

    SceneModel model;
    ASSERT_TRUE(model.Load(out.c_str()));
    ASSERT_EQ(model.Objects().Count(), 1u);
    const SceneObject& fin = model.Objects().At(0);
    // Source corners (2, 0, 0), (3, 0, 0), (2, 1, 0), stretched along y and turned 90° about y, go
    // to z = −2, −3 and y = 2; mirrored, z = +2, +3.
    std::vector<Vec4> expected = {Vec4(0, 0, 2), Vec4(0, 0, 3), Vec4(0, 2, 2)};
    for (uint32_t i = 0; i < 3; ++i) {
        const Vec4 corner = Corner(fin, i, fin.local);
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](const Vec4& e) { return Near(e, corner); }))
            << corner.x << " " << corner.y << " " << corner.z;
    }
    // The source's +z facing, turned 90° about y, is +x; mirroring z keeps it.
    EXPECT_GT(FrontNormals(fin, fin.local)[0].x, 0.0f);
}

TEST_F(ImportCommand, AnimatedGltfPlaysBackAsTheSourceMoves)
{
    const std::string in = Save("show.gltf", AnimatedGltf());
    const struct { const char* options; const char* frames; } rates[] = {{"--fps 20", "\"frames\": 41,"}, {"", "\"frames\": 21,"}};
    for (const auto& rate : rates) {
        SCOPED_TRACE(rate.options);
        ExpectParts(ImportAndDescribe(in, folder_ / "spin.3df", rate.options),
            {rate.frames, "\"texture\": \"spin_0.png\"",
             "\"lights\": [{\"colour\": [1, 0.5, 0.25], \"position\": [0, 5, 4], \"radius\": 40, \"animated\": true}]",
             "\"cameras\": [{\"name\": \"Camera01\", \"animated\": true}, {\"name\": \"introCam\", \"animated\": "
             "true}]"});
    }
    std::ifstream picture(folder_ / "spin_0.png", std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(picture), {}), TinyPng());

    SceneModel model;
    ASSERT_TRUE(model.Load((folder_ / "spin.3df").c_str()));
    RecordingSink sink;
    const Matrix identity;
    // 0.85 s is 187° into the turn, between keys on either side of the half turn, where an axis
    // and angle written plainly would flip sides.
    model.AnimateObjects(sink, identity, 0.85f);
    const float turned = 187.0f * Pi() / 180.0f;
    EXPECT_TRUE(Near(sink.objects.at(0).world.Transform(Vec4(1, 0, 0)), Vec4(std::cos(turned), 0, std::sin(turned))));
    model.AnimateLights(sink, identity, 0.25f);
    EXPECT_TRUE(Near(sink.lights.at(0)->position, Vec4(2.5f, 5, 4)));

    const struct {
        const char* name;
        float seconds;
        Vec4 eye, direction;
    } cameras[] = {{"Camera01", 0.5f, Vec4(0, 0, -10), Vec4(-0.19509032f, 0, 0.98078528f)},
                   {"introCam", 0.5f, Vec4(0, 3, 0), Vec4(0, 0, 1)}};
    for (const auto& camera : cameras) {
        SCOPED_TRACE(camera.name);
        model.SelectCamera(sink, identity, camera.name, camera.seconds);
        Vec4 direction = sink.camera.Target() - sink.camera.Eye();
        direction.SetLength(1.0f);
        EXPECT_TRUE(Near(sink.camera.Eye(), camera.eye));
        EXPECT_TRUE(Near(direction, camera.direction)) << direction.x << " " << direction.y << " " << direction.z;
        EXPECT_NEAR(sink.camera.FieldOfView(), 0.7f, 1e-5f);
    }
}

TEST_F(ImportCommand, RefusedInputsNameTheCulpritAndWriteNothing)
{
    const std::string gltf = HierarchyGltf();
    const struct { const char* name; std::vector<uint8_t> bytes; const char* out; const char* expected; } cases[] = {
        {"cut.gltf", Bytes(gltf.substr(0, gltf.size() / 2)), "out.3df", "cannot read"},
        {"empty.obj", {}, "out.3df", "cannot read"},
        {"skin.gltf", OneNodeGltf(Skinned(true)), "out.3df", "mesh 'Part' is skinned"},
        // The reading library itself faults on a skin without inverse bind matrices.
        {"bare-skin.gltf", OneNodeGltf(Skinned(false)), "out.3df", "the model reading library failed"},
        {"morph.gltf",
         OneNodeGltf({.primitive = ", \"targets\": [{\"POSITION\": 4}]",.accessors = [](GltfWriter& w) {
                              w.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3", 3);
                              return std::string();
                          }}),
         "out.3df", "mesh 'Part' has morph targets"},
        {"spot.gltf",
         OneNodeGltf({.node = ", \"extensions\": {\"KHR_lights_punctual\": {\"light\": 0}}",
                      .members = ", \"extensionsUsed\": [\"KHR_lights_punctual\"], \"extensions\": "
                                 "{\"KHR_lights_punctual\": {\"lights\": [{\"type\": \"spot\", \"spot\": {}}]}}"}),
         "out.3df", "light 'Part' is a spot light"},
        {"grow.gltf",
         OneNodeGltf({.accessors = [](GltfWriter& w) {
                      const int times = w.Floats({0, 1}, "SCALAR", 1), scales = w.Floats({1, 1, 1, 2, 2, 2}, "VEC3", 3);
                      return ", \"animations\": [{\"samplers\": [{\"input\": " + std::to_string(times) +
                             ", \"output\": " + std::to_string(scales) +
                             "}], \"channels\": [{\"sampler\": 0, \"target\": {\"node\": 0, \"path\": \"scale\"}}]}]";
                  }}),
         "out.3df", "node 'Part' is scaled or sheared by its animation"},
        {"fin.gltf", Bytes(gltf), "no-such-folder/out.3df", "cannot write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = folder_.Write(c.name, c.bytes);
        const CommandResult result = Harntool("import " + Quote(in) + " " + Quote(folder_ / c.out));
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
        std::error_code error;
        EXPECT_FALSE(std::filesystem::exists(folder_ / c.out));
        for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
            EXPECT_NE(entry.path().extension(), ".3df") << entry.path();
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
            std::filesystem::remove(entry.path(), error);
        }
    }
    const CommandResult missing = Harntool("import " + Quote(folder_ / "none.gltf") + " " + Quote(folder_ / "out.3df"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("no such file"), std::string::npos) << missing.output;
}

TEST_F(ImportCommand, BadArgumentsPrintUsage)
{
    for (const char* arguments : {"import", "import a.gltf b.3df c", "import a.gltf b.3df --scale 0",
                                  "import a.gltf b.3df --fps 0", "import a.gltf b.3df --fps x", "import a.gltf b.3df --speed 2"}) {
        SCOPED_TRACE(arguments);
        const CommandResult result = Harntool(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.output.find("usage: harntool import"), std::string::npos);
    }
}

}  // namespace
