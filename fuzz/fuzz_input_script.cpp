#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/platform/Input.h"
#include "engine/platform/MessageQueue.h"
#include "game/shell/InputScript.h"

// Reads arbitrary bytes as an input script and plays its first frames into an input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InputScript script;
    std::string error;
    script.Parse(std::string(reinterpret_cast<const char*>(data), size), &error);
    Input input;
    for (int frame = 0; frame < 16; ++frame) {
        script.PostMessages();
        script.Apply(input);
    }
    MessageQueue::Reset();
    return 0;
}
