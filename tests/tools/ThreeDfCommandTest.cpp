#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/modelwriter/ModelWriter.h"

namespace {

struct RunResult {
    int status = -1;
    std::string out;
};

RunResult RunHarntool(const std::string& arguments)
{
    RunResult result;
    const std::string command = std::string(HARN_BINARY_DIR) + "/harntool " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class ThreeDfCommand : public ::testing::Test {
protected:
    ThreeDfCommand()
    {
        dir_ = std::filesystem::temp_directory_path() / ("harn_3df_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    ~ThreeDfCommand() override { std::filesystem::remove_all(dir_); }

    std::string Save(const std::vector<uint8_t>& bytes)
    {
        const std::string path = (dir_ / "model.3df").string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }

private:
    std::filesystem::path dir_;
};

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
    MeshVertex corner{};
    object.vertices = {corner, corner, corner};
    object.vertices[1].position[0] = 2;
    object.vertices[2].position[1] = -3;
    object.indices = {0, 1, 2};
    object.placement.position = {7, 8, 9};
    ModelFileObject stray = object;
    stray.material = 5;
    model.objects = {object, stray};
    ModelFileLight light;
    light.colour = {1, 0, 0};
    light.position = {0, 10, 0};
    light.radius = 40;
    model.lights = {light};
    ModelFileCamera camera;
    camera.name = "intro \"Cam\"";
    model.cameras = {camera};
    return model;
}

TEST_F(ThreeDfCommand, DescribesTheModelAsTheLoaderSeesIt)
{
    const RunResult result = RunHarntool("3df " + Save(ModelWriter::Write(SampleModel())));
    ASSERT_EQ(result.status, 0) << result.out;
    const std::vector<std::string> expected = {
        "{\"ok\": true, \"frames\": 4, \"animated\": false,",
        "\"materials\": [{\"ambient\": [0.5, 0.25, 1], \"diffuse\": [0, 0, 0], \"bump\": \"bump_neutral.jpg\", "
        "\"texture\": \"hull.jpg\", \"alphaMask\": true, \"glow\": false}]",
        "{\"material\": 0, \"vertices\": 3, \"faces\": 1, \"animated\": false, \"boxMin\": [0, -3, 0], "
        "\"boxMax\": [2, 0, 0], \"position\": [7, 8, 9]}",
        "{\"material\": -1, \"vertices\": 3",
        "\"lights\": [{\"colour\": [1, 0, 0], \"position\": [0, 10, 0], \"radius\": 40, \"animated\": false}]",
        "\"cameras\": [{\"name\": \"intro \\\"Cam\\\"\", \"animated\": false}]}",
    };
    for (const std::string& part : expected) EXPECT_NE(result.out.find(part), std::string::npos) << part << "\nin\n" << result.out;
}

TEST_F(ThreeDfCommand, ARejectedFileGivesOkFalseAndStatusOne)
{
    std::vector<uint8_t> bytes = ModelWriter::Write(SampleModel());
    bytes.resize(bytes.size() - 1);
    const struct {
        const char* name;
        std::string path;
    } cases[] = {{"cut short", Save(bytes)}, {"missing", "/nonexistent/model.3df"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult result = RunHarntool("3df " + c.path);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "{\"ok\": false}\n");
    }
}

TEST_F(ThreeDfCommand, WrongArgumentsPrintUsage)
{
    EXPECT_EQ(RunHarntool("3df").status, 2);
    EXPECT_EQ(RunHarntool("3df a b").status, 2);
}

}  // namespace
