#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/sound/ScoreReader.h"

// The music's score reader: any text either reads or stops with an error naming a line, without
// crashing and without growing beyond what a module can hold.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Score score;
    ScoreReader reader(&score);
    std::string error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!reader.Read(text, "fuzz.score", &error) && error.compare(0, 11, "fuzz.score:") != 0) __builtin_trap();
    return 0;
}
