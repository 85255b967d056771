#include "engine/platform/SoundInstance.h"

#include "engine/platform/Fsound.h"
#include "engine/platform/SoundSample.h"

int SoundInstance::Play(bool startPaused)
{
    FSOUND_SAMPLE* handle = sample != nullptr ? sample->Handle() : nullptr;
    channel = FSOUND_PlaySoundEx(FSOUND_FREE, handle, nullptr, startPaused);
    paused = startPaused ? 1 : 0;
    return channel;
}
