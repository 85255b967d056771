#include "engine/platform/SoundSystem.h"

#include "engine/platform/Fsound.h"
#include "engine/platform/Log.h"

SoundSystem::~SoundSystem()
{
    FSOUND_Close();
}

bool SoundSystem::Start(int channels, int mixRate, int driver)
{
    Log::Section(1, "Sound System");
    Log::Print(1, "Inicializing Sound:\n");
    if (driver == 0) {
        Log::Print(1, "\tDriver:\t\tWindows MMSystem\n");
        FSOUND_SetOutput(FSOUND_OUTPUT_WINMM);
    } else if (driver == 1) {
        Log::Print(1, "\tDriver:\t\tMicrosoft Direct Sound\n");
        FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    }
    Log::Print(1, "\tSampling:\t%d\n", mixRate);
    Log::Print(1, "\tChannels:\t%d\n", channels);
    if (!FSOUND_Init(mixRate, channels, 0)) {
        Log::Print(1, " !!!! COULD NOT INICIALIZE !!!!\n");
        Log::Print(4, "!!! FAILED TO START SOUND SYSTEM!!!\nPlease see the log file");
        return false;
    }
    channels_ = channels;
    mixRate_ = mixRate;
    Log::Print(1, "Inicialized\n");
    return true;
}
