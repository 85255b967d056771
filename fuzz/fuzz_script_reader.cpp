#include <cstddef>
#include <cstdint>

#include "game/world/ScriptReader.h"

// Splits arbitrary bytes as a level script and reads every block with every read operation.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScriptReader reader;
    reader.OpenText(reinterpret_cast<const char*>(data), size);
    int turn = 0;
    while (reader.NextEntity() != nullptr) {
        for (;;) {
            ++turn;
            if (turn % 3 == 0) {
                reader.ReadFloat();
            } else if (turn % 3 == 1) {
                reader.ReadBool();
            } else if (reader.NextToken() == nullptr) {
                break;
            }
            if (turn > 100000) return 0;
        }
    }
    return 0;
}
