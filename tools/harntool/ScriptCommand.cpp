#include <cstdio>
#include <string>

#include "engine/platform/ResourceFile.h"
#include "game/world/ScriptReader.h"
#include "tools/harntool/Commands.h"
#include "tools/harntool/Json.h"

// harntool script FILE: the blocks of a level script as one JSON array.
int RunScriptCommand(int argc, char** argv)
{
    if (argc != 1) {
        std::fprintf(stderr, "usage: harntool script FILE\n");
        return 2;
    }
    ResourceFile file;
    if (!file.Load(argv[0])) {
        std::fprintf(stderr, "harntool: cannot read %s\n", argv[0]);
        return 1;
    }
    ScriptReader reader;
    reader.OpenText(reinterpret_cast<const char*>(file.Data()), file.Size());
    std::string out = "[";
    bool firstBlock = true;
    for (const ScriptReader::Block& block : reader.Blocks()) {
        out += firstBlock ? "" : ",\n ";
        firstBlock = false;
        out += "{\"type\": " + JsonStringLatin1(block.type) + ", \"tokens\": [";
        for (size_t i = 0; i < block.tokens.size(); ++i) {
            if (i > 0) out += ", ";
            out += JsonStringLatin1(block.tokens[i]);
        }
        out += "]}";
    }
    out += "]\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
