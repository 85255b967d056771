#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/platform/Input.h"
#include "engine/platform/MessageQueue.h"
#include "game/shell/ReplayFeed.h"
#include "game/shell/ReplayFile.h"

// Reads arbitrary bytes as a replay; what it accepts must read the same once written again, and
// is played into an input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Replay replay;
    std::string error;
    if (!ReplayFile::Decode(data, size, &replay, &error)) return 0;
    const std::vector<uint8_t> bytes = ReplayFile::Encode(replay);
    Replay again;
    if (!ReplayFile::Decode(bytes.data(), bytes.size(), &again, &error) || !(again.frames == replay.frames) ||
        again.script != replay.script || again.drawCounter != replay.drawCounter)
        __builtin_trap();
    ReplayFeed feed(replay);
    Input input;
    float step = 0.0f;
    for (int frame = 0; frame < 16 && !feed.Finished(); ++frame) {
        feed.PostMessages();
        feed.TimeStep(&step);
        feed.Apply(input);
    }
    MessageQueue::Reset();
    return 0;
}
