#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Mixer.h"
#include "engine/platform/ModuleSong.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/Spectrogram.h"
#include "tools/sound/LevelMeter.h"
#include "tools/sound/WavWriter.h"

// harntool music: plays a module through the game's mixer without a sound device, from an order
// of the musician's choice, and reports what it holds, where playback goes and how loud it is.
namespace {

constexpr int kRate = 44100;              // Hz, the game's mix rate
constexpr double kDefaultSeconds = 30.0;
constexpr double kMaxSeconds = 1200.0;
constexpr int kPictureWidth = 1200;       // px
constexpr int kOrdersPerLine = 16;
constexpr int kStereo = 2;

struct Options {
    const char* file = nullptr;
    int order = 0;
    double seconds = kDefaultSeconds;
    const char* wavPath = nullptr;
    const char* picturePath = nullptr;
};

int Usage()
{
    std::fprintf(stderr, "usage: harntool music FILE.it [--order N] [--seconds S] [--wav OUT.wav] [--spectrogram OUT.png]\n");
    return 2;
}

bool ParseNumber(const char* text, double low, double high, double* out)
{
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= low && value <= high)) return false;
    *out = value;
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        double number = 0.0;
        if (std::strcmp(argv[i], "--order") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], 0, 255, &number) || number != static_cast<int>(number)) return false;
            options->order = static_cast<int>(number);
        } else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
            if (!ParseNumber(argv[++i], 0.1, kMaxSeconds, &options->seconds)) return false;
        } else if (std::strcmp(argv[i], "--wav") == 0 && hasValue) {
            options->wavPath = argv[++i];
        } else if (std::strcmp(argv[i], "--spectrogram") == 0 && hasValue) {
            options->picturePath = argv[++i];
        } else if (argv[i][0] != '-' && options->file == nullptr) {
            options->file = argv[i];
        } else {
            return false;
        }
    }
    return options->file != nullptr;
}

void PrintContents(const char* file, const ModuleSong& song)
{
    std::printf("module %s \"%s\": %d orders, %d patterns, %d samples\n", file, song.Title().c_str(), song.OrderCount(),
                song.PatternCount(), song.SampleCount());
    std::printf("orders:");
    for (int order = 0; order < song.OrderCount(); ++order) {
        if (order % kOrdersPerLine == 0) std::printf("\n  %3d:", order);
        const int pattern = song.OrderPattern(order);
        if (pattern == ModuleSong::kSkipOrder) {
            std::printf(" +++");
        } else {
            std::printf(" %3d", pattern);
        }
    }
    std::printf("\npatterns:");
    for (int pattern = 0; pattern < song.PatternCount(); ++pattern) {
        if (pattern % 8 == 0) std::printf("\n ");
        std::printf(" %3d:%3d rows", pattern, song.PatternRows(pattern));
    }
    std::printf("\nsamples:");
    for (int sample = 0; sample < song.SampleCount(); ++sample) {
        if (sample % 6 == 0) std::printf("\n ");
        std::printf(" %2d %-10s", sample + 1, song.SampleName(sample).c_str());
    }
    std::printf("\n");
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Mixes the song for the options' length, printing a line a second; keeps the mix when it is to be
// written or drawn, and the order playing every step for the picture.
void Play(ModuleSong& song, const Options& options, MusicPicture& picture, std::vector<int16_t>& mix, LevelMeter& whole)
{
    Mixer mixer(1, kRate);
    mixer.AddSong(&song);
    const bool keep = options.wavPath != nullptr || options.picturePath != nullptr;
    const size_t stepFrames = static_cast<size_t>(kRate * MusicPicture::kOrderStep);
    const size_t steps = static_cast<size_t>(options.seconds / MusicPicture::kOrderStep + 0.5);
    const size_t stepsPerSecond = static_cast<size_t>(1.0 / MusicPicture::kOrderStep + 0.5);
    std::vector<int16_t> block(stepFrames * kStereo);
    LevelMeter second(kRate);
    std::printf("playing from order %d for %g s at %d Hz\n  second  order  row   rms dB  peak dB\n", options.order, options.seconds, kRate);
    for (size_t step = 1; step <= steps; ++step) {
        mixer.Mix(block.data(), stepFrames);
        whole.Add(block.data(), stepFrames);
        second.Add(block.data(), stepFrames);
        picture.orders.push_back(song.Order());
        if (keep) mix.insert(mix.end(), block.begin(), block.end());
        if (step % stepsPerSecond == 0 || step == steps) {
            std::printf("  %6.1f  %5d  %3d  %7.1f  %7.1f\n", static_cast<double>(step) * MusicPicture::kOrderStep, song.Order(),
                        song.Row(), second.RmsDb(), second.PeakDb());
            second = LevelMeter(kRate);
        }
    }
    std::printf("peak %.1f dBFS%s, RMS %.1f dBFS, longest silence %.2f s\n", whole.PeakDb(), whole.Clipped() ? " (clipped)" : "",
                whole.RmsDb(), whole.LongestSilence());
}

}  // namespace

int RunMusicCommand(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) return Usage();
    std::unique_ptr<ModuleSong> song = ModuleSong::FromFile(options.file);
    if (song == nullptr) {
        std::fprintf(stderr, "harntool: %s is missing or not a module\n", options.file);
        return 1;
    }
    PrintContents(options.file, *song);
    song->SetLooping(true);
    song->Restart();
    if (!song->SetOrder(options.order)) {
        std::fprintf(stderr, "harntool: the module has no order %d\n", options.order);
        return 1;
    }
    MusicPicture picture;
    std::vector<int16_t> mix;
    LevelMeter whole(kRate);
    Play(*song, options, picture, mix, whole);

    if (options.wavPath != nullptr && !WriteFile(options.wavPath, WavBytes(mix, kStereo, kRate))) {
        std::fprintf(stderr, "harntool: cannot write %s\n", options.wavPath);
        return 1;
    }
    picture.stereo = &mix;
    picture.rate = kRate;
    if (options.picturePath != nullptr && !WriteMusicPicture(options.picturePath, picture, kPictureWidth)) {
        std::fprintf(stderr, "harntool: cannot write %s\n", options.picturePath);
        return 1;
    }
    return 0;
}
