#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/Display.h"
#include "engine/device/GraphicsDevice.h"
#include "engine/device/NullDevice.h"
#include "engine/platform/DataDirectory.h"
#include "engine/platform/ResourceFile.h"
#include "engine/platform/SoundSystem.h"
#include "game/shell/Autopilot.h"
#include "game/shell/Game.h"
#include "game/shell/InputScript.h"
#include "game/shell/ReplayFeed.h"
#include "game/shell/ReplayFile.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/PlayTrace.h"
#include "tools/harntool/PngFile.h"

// harntool play: the game's level without its shell, stepped at a fixed time step, for tests,
// benchmarks and modders trying a level. It loads the data as the game does (DIR/data.qzr, the
// sounds and the module beside it), and stops at the quit flag or after --frames frames.
namespace {

constexpr const char* kUsage =
    "usage: harntool play [--data DIR] [--script NAME] [--frames N] [--dt S] [--input FILE | --autopilot | --replay FILE]\n"
    "                     [--record FILE] [--trace FILE] [--device null|gl] [--size WxH] [--screenshot FILE.png --at FRAME]...\n";
constexpr float kMaxStep = 0.1f;  // seconds: the longest step the game's timer ever gives

struct Options {
    std::string data;
    std::string script;
    long long frames = 0;  // 0: until the quit flag
    float dt = 1.0f / 60.0f;
    std::string input;
    bool autopilot = false;
    std::string replay;
    std::string record;
    bool dtGiven = false;
    bool sizeGiven = false;
    std::string trace;
    bool gl = false;
    int width = 800;
    int height = 600;
    std::vector<std::string> screenshots;  // each saved at the frame of the same place in at
    std::vector<long long> at;
};

bool ParseCount(const char* text, long long* value)
{
    char* end = nullptr;
    *value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && *value >= 0;
}

bool ParseOption(int argc, char** argv, int& i, Options* o)
{
    const char* name = argv[i];
    if (std::strcmp(name, "--autopilot") == 0) {
        o->autopilot = true;
        return true;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (std::strcmp(name, "--data") == 0) o->data = value;
    else if (std::strcmp(name, "--script") == 0) o->script = value;
    else if (std::strcmp(name, "--frames") == 0) return ParseCount(value, &o->frames) && o->frames > 0;
    else if (std::strcmp(name, "--at") == 0) {
        long long frame = 0;
        o->at.push_back(frame);
        return ParseCount(value, &o->at.back());
    }
    else if (std::strcmp(name, "--input") == 0) o->input = value;
    else if (std::strcmp(name, "--replay") == 0) o->replay = value;
    else if (std::strcmp(name, "--record") == 0) o->record = value;
    else if (std::strcmp(name, "--trace") == 0) o->trace = value;
    else if (std::strcmp(name, "--screenshot") == 0) o->screenshots.push_back(value);
    else if (std::strcmp(name, "--dt") == 0) {
        char* end = nullptr;
        o->dtGiven = true;
        o->dt = std::strtof(value, &end);
        return end != value && *end == '\0' && o->dt > 0.0f && o->dt <= kMaxStep;
    } else if (std::strcmp(name, "--device") == 0) {
        o->gl = std::strcmp(value, "gl") == 0;
        return o->gl || std::strcmp(value, "null") == 0;
    } else if (std::strcmp(name, "--size") == 0) {
        o->sizeGiven = true;
        return std::sscanf(value, "%dx%d", &o->width, &o->height) == 2 && o->width > 0 && o->height > 0 &&
               o->width <= 8192 && o->height <= 8192;
    } else return false;
    return true;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 0; i < argc; ++i)
        if (!ParseOption(argc, argv, i, options)) return false;
    if (options->screenshots.size() != options->at.size()) return false;
    // One source of input; a replay brings its own time steps and level.
    const int sources = (options->autopilot ? 1 : 0) + (options->input.empty() ? 0 : 1) + (options->replay.empty() ? 0 : 1);
    if (sources > 1) return false;
    return options->replay.empty() || (!options->dtGiven && options->script.empty());
}

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool IsScreenshotFrame(const Options& options, long long frame)
{
    return std::find(options.at.begin(), options.at.end(), frame) != options.at.end();
}

// Saves the chosen frames before they are presented.
struct Screenshots {
    const Options* options = nullptr;
    long long frame = 0;
    size_t saved = 0;

    static void BeforePresent(void* self)
    {
        auto* shots = static_cast<Screenshots*>(self);
        const Options& o = *shots->options;
        for (size_t i = 0; i < o.at.size(); ++i) {
            if (o.at[i] != shots->frame) continue;
            GraphicsDevice* device = GraphicsDevice::Current();
            const int width = device->GetBackBuffer()->Width(), height = device->GetBackBuffer()->Height();
            std::vector<uint8_t> rgba;
            if (device->ReadPixels(0, 0, width, height, &rgba) && WritePng(o.screenshots[i], width, height, rgba)) ++shots->saved;
        }
        ++shots->frame;
    }
};

struct Session {
    explicit Session(const Options& chosen) : options(chosen) {}
    const Options& options;
    std::FILE* trace = nullptr;
    std::unique_ptr<InputFeed> feed;
    Screenshots screenshots;
    Replay replay;                    // the one played back, with --replay
    ReplayFeed* replayFeed = nullptr;  // the feed, when it plays one back
    Replay recording;                 // with --record
};

// The play itself, on a device already current. Returns the exit status.
int Play(Session& session)
{
    const Options& options = session.options;
    // Without a window nobody listens: the null device plays silent unless a driver is named.
    if (!options.gl) setenv("SDL_AUDIODRIVER", "dummy", 0);
    SoundSystem sound;
    sound.Start(24, 44100, 1);
    Game game;
    game.SetFixedStep(options.dt);
    if (!options.script.empty()) game.level.scriptName = options.script;
    if (session.replayFeed != nullptr) game.StartAs(session.replay);
    if (options.autopilot) session.feed = std::make_unique<Autopilot>(game);
    if (!options.record.empty()) game.Record(&session.recording);
    game.inputFeed = session.feed.get();
    if (!options.screenshots.empty()) {
        session.screenshots.options = &options;
        game.SetBeforePresent(Screenshots::BeforePresent, &session.screenshots);
    }
    auto* nullDevice = dynamic_cast<NullDevice*>(GraphicsDevice::Current());

    PlayTrace trace(session.trace);
    game.BeginPlay();
    trace.Started(game);
    bool replayOver = false;
    while (options.frames == 0 || trace.Frames() < options.frames) {
        if (session.replayFeed != nullptr && session.replayFeed->Finished()) {
            replayOver = true;
            break;
        }
        // Asked for pictures only, the play draws just the frames it saves: on a software renderer
        // a whole level would otherwise take the better part of an hour.
        game.SetDrawing(options.at.empty() || IsScreenshotFrame(options, trace.Frames()));
        const double start = CpuSeconds();
        game.PlayFrame();
        const double spent = CpuSeconds() - start;
        // The null device logs every draw for tests; a long play must not keep them all.
        if (nullDevice != nullptr) nullDevice->ClearLog();
        trace.Frame(game, spent);
        if (game.QuitRequested()) break;
    }
    const char* stopped = game.QuitReason() != nullptr ? game.QuitReason() : replayOver ? "replay" : "frames";
    const std::string summary = trace.Summary(game, stopped);
    game.EndPlay();
    game.inputFeed = nullptr;
    game.Record(nullptr);
    std::printf("%s\n", summary.c_str());
    std::string error;
    if (!options.record.empty() && !ReplayFile::Save(options.record, session.recording, &error)) {
        std::fprintf(stderr, "harntool: cannot write %s: %s\n", options.record.c_str(), error.c_str());
        return 1;
    }
    if (session.screenshots.saved != options.screenshots.size()) {
        std::fprintf(stderr, "harntool: %zu of %zu screenshots saved (the play has %d frames)\n", session.screenshots.saved,
                     options.screenshots.size(), trace.Frames());
        return 1;
    }
    return 0;
}

int PlayOnDevice(Session& session)
{
    const Options& options = session.options;
    if (!options.gl) {
        NullDevice device(options.width, options.height);
        ScopedCurrentDevice current(&device);
        return Play(session);
    }
    if (!Display::Init(options.width, options.height, false, 32, 60, 0)) {
        std::fprintf(stderr, "harntool: cannot open the display\n");
        Display::Release();
        return 1;
    }
    const int status = Play(session);
    Display::Release();
    return status;
}

}  // namespace

int RunPlayCommand(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (!options.screenshots.empty() && !options.gl) {
        std::fprintf(stderr, "harntool: --screenshot needs --device gl\n");
        return 2;
    }
    DataDirectory::Set(options.data);
    static std::string archive;
    archive = DataDirectory::PathOf(DataDirectory::kArchiveName);
    if (std::FILE* probe = std::fopen(archive.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        std::fprintf(stderr, "harntool: cannot read %s\n", archive.c_str());
        return 1;
    }
    ArchivePath = archive.c_str();

    Session session(options);
    if (!options.replay.empty()) {
        std::string error;
        if (!ReplayFile::Load(options.replay, &session.replay, &error)) {
            std::fprintf(stderr, "harntool: %s: %s\n", options.replay.c_str(), error.c_str());
            return 1;
        }
        // Pictures of a replay come at the size it was played at, unless asked otherwise.
        if (!options.sizeGiven && session.replay.width > 0 && session.replay.height > 0) {
            options.width = session.replay.width;
            options.height = session.replay.height;
        }
        auto feed = std::make_unique<ReplayFeed>(session.replay);
        session.replayFeed = feed.get();
        session.feed = std::move(feed);
    }
    if (!options.input.empty()) {
        auto script = std::make_unique<InputScript>();
        std::string error;
        if (!script->Load(options.input, &error)) {
            std::fprintf(stderr, "harntool: %s: %s\n", options.input.c_str(), error.c_str());
            return 1;
        }
        session.feed = std::move(script);
    }
    if (!options.trace.empty()) {
        session.trace = std::fopen(options.trace.c_str(), "wb");
        if (session.trace == nullptr) {
            std::fprintf(stderr, "harntool: cannot write %s\n", options.trace.c_str());
            return 1;
        }
    }
    const int status = PlayOnDevice(session);
    if (session.trace != nullptr) std::fclose(session.trace);
    ArchivePath = nullptr;
    return status;
}
