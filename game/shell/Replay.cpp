#include "game/shell/Replay.h"

#include <algorithm>

bool ReplayFrame::operator==(const ReplayFrame& other) const
{
    return dt == other.dt && input == other.input && messageCount == other.messageCount &&
           std::equal(messages, messages + messageCount, other.messages);
}
