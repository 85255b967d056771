#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tools/sound/Effects.h"
#include "tools/sound/ItWriter.h"
#include "tools/sound/ModuleBuilder.h"
#include "tools/sound/ScoreReader.h"
#include "tools/sound/WavWriter.h"

// zelmar_sound: makes the game's sound effects and its music module from the score files. Every
// file is made in memory first, so that a mistake in the score leaves no file behind.
namespace {

constexpr int kMono = 1;

struct OutputFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

bool ReadText(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> EffectFile(const Sound& sound)
{
    return WavBytes(sound.Pcm16(), kMono, Sound::kSampleRate);
}

// The module from the scores, or an error naming the file and line.
bool MakeModule(const std::vector<std::string>& scorePaths, OutputFile* module, std::string* error)
{
    Score score;
    ScoreReader reader(&score);
    for (const std::string& path : scorePaths) {
        std::string text;
        if (!ReadText(path, &text)) {
            *error = path + ": cannot be read";
            return false;
        }
        if (!reader.Read(text, path, error)) return false;
    }
    if (score.song.empty()) {
        *error = scorePaths.back() + ": the score names no song";
        return false;
    }
    ItModule built;
    if (!BuildModule(score, &built, error)) return false;
    module->name = score.song + ".it";
    return WriteItModule(built, &module->bytes, error);
}

int Usage()
{
    std::fprintf(stderr, "usage: zelmar_sound OUTDIR SCORE...\n"
                         "  makes fire.wav, explosion.wav and the music module (SONG.it, named by the score) in OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    const std::filesystem::path outDir = argv[1];
    std::vector<std::string> scorePaths(argv + 2, argv + argc);

    std::vector<OutputFile> files;
    files.push_back({"fire.wav", EffectFile(FireShot())});
    files.push_back({"explosion.wav", EffectFile(ExplosionBlast())});
    OutputFile module;
    std::string error;
    if (!MakeModule(scorePaths, &module, &error)) {
        std::fprintf(stderr, "zelmar_sound: %s\n", error.c_str());
        return 1;
    }
    files.push_back(std::move(module));

    for (const OutputFile& file : files) {
        if (!WriteBytes(outDir / file.name, file.bytes)) {
            std::fprintf(stderr, "zelmar_sound: cannot write %s\n", (outDir / file.name).c_str());
            return 1;
        }
    }
    return 0;
}
