#include "game/shell/ReplayFeed.h"

#include "engine/platform/MessageQueue.h"

void ReplayFeed::PostMessages()
{
    if (Finished()) return;
    const ReplayFrame& frame = replay_.frames[next_];
    for (int i = 0; i < frame.messageCount; ++i) {
        if (frame.messages[i] == ReplayMessage::kEscape) MessageQueue::PostMessage({WM_KEYDOWN, VK_ESCAPE, 0});
        else MessageQueue::PostMessage({WM_QUIT, 0, 0});
    }
}

bool ReplayFeed::TimeStep(float* seconds) const
{
    if (Finished()) return false;
    *seconds = replay_.frames[next_].dt;
    return true;
}

void ReplayFeed::Apply(Input& input)
{
    if (Finished()) {
        FrameInput().WriteTo(input);
        return;
    }
    replay_.frames[next_].input.WriteTo(input);
    ++next_;
}
