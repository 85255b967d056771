#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/modelwriter/ModelWriter.h"

namespace {

// A model with a material, a stray material index, a light and a camera whose name needs escaping.
ModelFile SampleModel()
{
    ModelFile model;
    model.frameCount = 4;
    ModelFileMaterial material;
    material.ambient = {0.5f, 0.25f, 1};
    material.texture = "hull.jpg";
    material.alphaMask = true;
    model.materials = {material};
    ModelFileObject object;
    object.material = 0;
    object.vertices = {MeshVertex{}, MeshVertex{}, MeshVertex{}};
    object.vertices[1].position[0] = 2;
    object.vertices[2].position[1] = -3;
    object.indices = {0, 1, 2};
    object.placement.position = {7, 8, 9};
    ModelFileObject stray = object;
    stray.material = 5;
    model.objects = {object, stray};
    model.lights = {{{1, 0, 0}, {0, 10, 0}, 40, false, {}, {}, {}}};
    ModelFileCamera camera;
    camera.name = "intro \"Cam\"";
    model.cameras = {camera};
    return model;
}

// The script and 3df commands: what each prints on standard output (whole, or the parts listed),
// its status, and the lines on standard error.
TEST(HarntoolCommand, ScriptAnd3dfPrintJsonAndRefuseWhatTheyCannotRead)
{
    TempFolder folder("harntool");
    const auto text = [&](const std::string& name, const std::string& t) { return folder.Write(name, {t.begin(), t.end()}); };
    std::vector<uint8_t> model = ModelWriter::Write(SampleModel());
    const std::string good = folder.Write("model.3df", model);
    model.pop_back();
    const struct {
        std::string args;
        int status;
        std::vector<std::string> parts;  // of standard output
        bool whole;                      // the parts are the whole output
        int errorLines;
    } cases[] = {
        {"script " + text("level.lvl", "Door{position 10 20}# c { #\nEnd\n"), 0,
         {"[{\"type\": \"Door\", \"tokens\": [\"position\", \"10\", \"20\"]},\n {\"type\": \"End\", \"tokens\": []},\n"
          " {\"type\": \"\", \"tokens\": []}]\n"}, true, 0},
        // Latin-1 comes out as UTF-8, and JSON's specials are escaped.
        {"script " + text("odd.lvl", "S\xE3o { a\"b c\\d \x01 }"), 0,
         {"[{\"type\": \"S\xC3\xA3o\", \"tokens\": [\"a\\\"b\", \"c\\\\d\", \"\\u0001\"]}]\n"}, true, 0},
        {"script " + text("empty.lvl", ""), 0, {"[]\n"}, true, 0},
        {"script " + (folder / "absent.lvl"), 1, {""}, true, 1},
        {"--help", 0, {"script FILE", "3df FILE"}, false, 0},
        {"no-such-command", 2, {}, false, -1},
        {"3df " + good, 0,
         {"{\"ok\": true, \"frames\": 4, \"animated\": false,",
          "\"materials\": [{\"ambient\": [0.5, 0.25, 1], \"diffuse\": [0, 0, 0], \"bump\": \"bump_neutral.jpg\", "
          "\"texture\": \"hull.jpg\", \"alphaMask\": true, \"glow\": false}]",
          "{\"material\": 0, \"vertices\": 3, \"faces\": 1, \"animated\": false, \"boxMin\": [0, -3, 0], "
          "\"boxMax\": [2, 0, 0], \"position\": [7, 8, 9]}",
          "{\"material\": -1, \"vertices\": 3",
          "\"lights\": [{\"colour\": [1, 0, 0], \"position\": [0, 10, 0], \"radius\": 40, \"animated\": false}]",
          "\"cameras\": [{\"name\": \"intro \\\"Cam\\\"\", \"animated\": false}]}"},
         false, 0},
        {"3df " + folder.Write("cut.3df", model), 1, {"{\"ok\": false}\n"}, true, -1},
        {"3df /nonexistent/model.3df", 1, {"{\"ok\": false}\n"}, true, -1},
        {"3df", 2, {}, false, -1},
        {"3df a b", 2, {}, false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string errors = folder / "errors.txt";
        const CommandResult result = RunCommand(HARN_BINARY_DIR "/harntool " + c.args + " 2>" + errors);
        EXPECT_EQ(result.status, c.status) << result.output;
        for (const std::string& part : c.parts) EXPECT_NE(result.output.find(part), std::string::npos) << part << "\nin\n" << result.output;
        if (c.whole) {
            EXPECT_EQ(result.output, c.parts.at(0));
        }
        if (c.errorLines < 0) continue;
        const std::vector<uint8_t> said = TempFolder::Read(errors);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.errorLines);
        EXPECT_EQ(std::string(said.begin(), said.end()).find("absent.lvl") != std::string::npos, c.errorLines > 0);
    }
}

}  // namespace
