#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/platform/ArchiveCheck.h"
#include "game/shell/DataCheck.h"
#include "tests/unrarlib/CommandSupport.h"
#include "tests/unrarlib/TempFolder.h"
#include "tools/rarwriter/RarWriter.h"

namespace {

namespace fs = std::filesystem;

const char* const kShaders[] = {"nullvertexshader.vsh", "normalmapvertexshader.vsh", "glowvertexshader.vsh",
                                "glowpixelshader.psh",  "alphapixelshader.psh",      "particlevertexshader.vsh"};
constexpr const char* kMarkedText = "the level script: zelmar marks this entry";

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A stored archive, so that an entry's bytes lie in the file as they are and one can be flipped.
std::vector<uint8_t> Archive(bool withEntries)
{
    RarWriter::Options options;
    options.store = true;
    RarWriter writer(options);
    if (withEntries) {
        writer.Add("teste.lvl", Bytes(kMarkedText), 1);
        writer.Add("models/level.3df", Bytes(std::string(3000, 'x')), 1);
    }
    return writer.Bytes();
}

void Write(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A complete data folder: the archive and the shader sources.
void WriteData(const fs::path& folder, std::vector<uint8_t> archive)
{
    Write(folder / "data.qzr", archive);
    for (const char* shader : kShaders) Write(folder / shader, Bytes("void main() {}\n"));
}

std::vector<uint8_t> Flipped(std::vector<uint8_t> archive)
{
    const std::string text(archive.begin(), archive.end());
    archive[text.find("zelmar")] ^= 0x20;
    return archive;
}

// The entry's time stamp changed: its data are whole but its header fails its check.
std::vector<uint8_t> HeaderFlipped(std::vector<uint8_t> archive)
{
    const std::string text(archive.begin(), archive.end());
    archive[text.find("models/level.3df") - 12] ^= 0x01;
    return archive;
}

struct Case {
    const char* name;
    std::function<void(const fs::path& bin)> lay;
    std::string problem;  // a part of the line; empty: no problem
    std::string found;    // the data folder, relative to bin, when there is no problem
};

TEST(DataCheck, FindsTheDataBesideTheProgramOrInstalledAndNamesWhatIsMissingOrDamaged)
{
    const std::vector<Case> cases = {
        {"beside the program", [](const fs::path& bin) { WriteData(bin, Archive(true)); }, "", ""},
        {"installed under share", [](const fs::path& bin) { WriteData(bin / "../share/zelmar", Archive(true)); }, "",
         "../share/zelmar/"},
        {"no archive anywhere", [](const fs::path& bin) { fs::create_directories(bin); },
         "cannot find \"data.qzr\"", ""},
        {"a shader source missing",
         [](const fs::path& bin) {
             WriteData(bin, Archive(true));
             fs::remove(bin / "glowpixelshader.psh");
         },
         "glowpixelshader.psh\"", ""},
        {"a flipped byte in an entry", [](const fs::path& bin) { WriteData(bin, Flipped(Archive(true))); },
         "data.qzr\" is damaged: \"teste.lvl\" fails its check", ""},
        {"a flipped bit in an entry's header", [](const fs::path& bin) { WriteData(bin, HeaderFlipped(Archive(true))); },
         "is damaged: \"models/level.3df\"", ""},
        {"cut short in the last entry",
         [](const fs::path& bin) {
             std::vector<uint8_t> archive = Archive(true);
             archive.resize(archive.size() - 100);
             WriteData(bin, archive);
         },
         "is damaged: \"models/level.3df\"", ""},
        {"not an archive", [](const fs::path& bin) { WriteData(bin, Bytes("MZ not a resource archive")); },
         "data.qzr\" is not a readable archive", ""},
        {"an archive holding nothing", [](const fs::path& bin) { WriteData(bin, Archive(false)); }, "holds no files", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder("datacheck");
        const fs::path bin = folder.Path() / "bin";
        fs::create_directories(bin);
        c.lay(bin);
        std::string found = "unchanged";
        const std::string line = DataCheck::Problem(bin.string() + "/", &found);
        if (c.problem.empty()) {
            EXPECT_EQ(line, "");
            EXPECT_EQ(found, bin.string() + "/" + c.found);
        } else {
            EXPECT_NE(line.find(c.problem), std::string::npos) << line;
            EXPECT_EQ(line.find('\n'), std::string::npos);
            EXPECT_EQ(found, "unchanged");
        }
    }
}

// The real program in a folder of its own, without a display: the line on standard error and
// status 1 before any window.
TEST(DataCheck, TheProgramSaysWhatIsWrongInOneLineAndExitsWithOne)
{
    const struct { const char* name; bool archive; const char* line; } runs[] = {{"missing data.qzr", false, "cannot find \"data.qzr\""},
                        {"flipped byte", true, "data.qzr\" is damaged: \"teste.lvl\" fails its check"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        TempFolder folder("zelmar");
        const fs::path program = folder.Path() / "zelmar";
        fs::copy_file(HARN_BINARY_DIR "/zelmar", program);
        if (run.archive) WriteData(folder.Path(), Flipped(Archive(true)));
        const CommandResult result =
            RunCommand("cd / && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy " + program.string() + " 2>&1");
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.output.find(run.line), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << "one line: " << result.output;
    }
}

}  // namespace
