#include <cstdio>
#include <cstring>
#include <filesystem>

#include "PlayData.h"

// play_data DIR [short|empty|synthetic]: the stand-in data set, to play with harntool play.
int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: play_data DIR [short|empty|synthetic]\n");
        return 2;
    }
    const char* level = argc == 3 ? argv[2] : "short";
    float length = 800.0f;
    std::string script;
    if (std::strcmp(level, "short") == 0) script = ShortLevelScript();
    else if (std::strcmp(level, "empty") == 0) script = EmptyLevelScript();
    else if (std::strcmp(level, "synthetic") == 0) script = SyntheticLevelScript(&length);
    else {
        std::fprintf(stderr, "play_data: unknown level '%s'\n", level);
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    if (!WritePlayData(argv[1], script, length)) {
        std::fprintf(stderr, "play_data: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
