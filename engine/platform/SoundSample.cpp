#include "engine/platform/SoundSample.h"

#include "engine/platform/DataDirectory.h"
#include "engine/platform/Fsound.h"

SoundSample::~SoundSample()
{
    Free();
}

FSOUND_SAMPLE* SoundSample::Load(const char* name, bool loop, bool hardware3d, bool effects)
{
    Free();
    const unsigned mode = (loop ? FSOUND_LOOP_NORMAL : 0u) | (hardware3d ? FSOUND_HW3D : 0u) |
                          (effects ? FSOUND_ENABLEFX : 0u);
    // The library reads samples from the disk: a bare name means the game's data folder, not the
    // working directory.
    handle_ = FSOUND_Sample_Load(FSOUND_FREE, name != nullptr ? DataDirectory::PathOf(name).c_str() : nullptr, mode, 0, 0);
    return handle_;
}

void SoundSample::Free()
{
    if (handle_ != nullptr) FSOUND_Sample_Free(handle_);
    handle_ = nullptr;
}
