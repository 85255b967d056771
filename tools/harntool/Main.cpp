#include <cstdio>
#include <cstring>

#include "tools/harntool/Commands.h"

// harntool: the engine's command-line tool for modders. Each subcommand lives in its own file.
namespace {

struct Subcommand {
    const char* name;
    const char* usage;
    int (*run)(int argc, char** argv);
};

const Subcommand kSubcommands[] = {
    {"script", "script FILE               print the blocks of a level script as JSON", RunScriptCommand},
    {"qzr", "qzr list|cat|extract|create  list, extract or create a resource archive (RAR 2.0)", RunQzrCommand},
    {"3df", "3df FILE                  describe a 3DF model as the engine loads it, as JSON", RunThreeDfCommand},
    {"devicetest", "devicetest [--frames N] [--screenshot FILE.png] [--data DIR]\n"
                   "                            draw a test scene through the graphics device in the game window",
     RunDeviceTestCommand},
    {"view", "view MODEL.3df [--screenshot FILE.png] [--frames N] [--size WxH] [--at SECONDS]\n"
             "          [--camera NAME | --look EX,EY,EZ,TX,TY,TZ] [--orbit YAW,PITCH,DISTANCE]\n"
             "          [--ambient A] [--no-headlight] [--placed]\n"
             "                            show a model on the renderer: drag to orbit, wheel to zoom,\n"
             "                            C cycles its cameras, 0 orbits, G toggles glow, space pauses",
     RunViewCommand},
    {"import", "import IN OUT.3df [--scale S] [--fps K]\n"
               "                            convert a glTF, OBJ or other model file into a 3DF model",
     RunImportCommand},
    {"music", "music FILE.it [--order N] [--seconds S] [--wav OUT.wav] [--spectrogram OUT.png]\n"
              "                            play a module through the mixer without a sound device: its orders,\n"
              "                            patterns and samples, the order every second, peak and RMS level",
     RunMusicCommand},
    {"play", "play [--data DIR] [--script NAME] [--frames N] [--dt S] [--input FILE] [--autopilot]\n"
             "     [--trace FILE] [--device null|gl] [--size WxH] [--screenshot FILE.png --at FRAME]...\n"
             "                            play the level at a fixed time step, from a recorded input or\n"
             "                            the autopilot; a JSON line a frame, a JSON summary at the end",
     RunPlayCommand},
};

void PrintHelp(std::FILE* out)
{
    std::fprintf(out, "usage: harntool COMMAND [ARGS...]\n\ncommands:\n");
    for (const Subcommand& command : kSubcommands) std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out, "  --help                    show this list\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintHelp(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(stdout);
        return 0;
    }
    for (const Subcommand& command : kSubcommands) {
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "harntool: unknown command '%s'\n", argv[1]);
    PrintHelp(stderr);
    return 2;
}
