#include "engine/platform/Fsound.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/Log.h"
#include "engine/platform/Mixer.h"
#include "engine/platform/ModuleSong.h"
#include "engine/platform/SampleData.h"
#include "engine/platform/WavFile.h"

struct FSOUND_SAMPLE {
    SampleData data;
};

struct FMUSIC_MODULE {
    std::unique_ptr<ModuleSong> song;
};

namespace {

constexpr int kMinMixRate = 8000;     // Hz
constexpr int kMaxMixRate = 192000;   // Hz
constexpr int kMaxChannels = 256;
constexpr Uint16 kDeviceBufferFrames = 1024;  // about 23 ms at 44100 Hz
constexpr const char* kSilentDriver = "dummy";

// Everything the library holds while it runs. Handles are checked against the lists, so a handle
// that was freed, or that outlived FSOUND_Close, is recognised and ignored instead of followed.
struct SoundLibrary {
    int output = FSOUND_OUTPUT_DSOUND;
    SDL_AudioDeviceID device = 0;
    std::string driver;
    std::unique_ptr<Mixer> mixer;
    std::vector<std::unique_ptr<FSOUND_SAMPLE>> samples;
    std::vector<std::unique_ptr<FMUSIC_MODULE>> songs;

    bool Running() const { return device != 0; }
};

// Never destroyed: samples held by other static objects may be freed during the program's exit,
// after function-local statics constructed later than theirs are gone.
SoundLibrary& Library()
{
    static SoundLibrary* library = new SoundLibrary;
    return *library;
}

// Holds the audio thread off the mixer for the length of one call.
class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) { SDL_LockAudioDevice(device_); }
    ~DeviceLock() { SDL_UnlockAudioDevice(device_); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device_;
};

void MixCallback(void* userdata, Uint8* stream, int length)
{
    static_cast<Mixer*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / 4);
}

bool OpenDevice(SoundLibrary& library, const char* driver, int mixrate)
{
    if (SDL_AudioInit(driver) != 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = mixrate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceBufferFrames;
    wanted.callback = MixCallback;
    wanted.userdata = library.mixer.get();
    library.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (library.device == 0) {
        SDL_AudioQuit();
        return false;
    }
    library.driver = SDL_GetCurrentAudioDriver();
    return true;
}

FSOUND_SAMPLE* FindSample(FSOUND_SAMPLE* sample)
{
    SoundLibrary& library = Library();
    if (sample == nullptr) return nullptr;
    const auto it = std::find_if(library.samples.begin(), library.samples.end(),
                                 [sample](const std::unique_ptr<FSOUND_SAMPLE>& s) { return s.get() == sample; });
    return it == library.samples.end() ? nullptr : sample;
}

ModuleSong* FindSong(FMUSIC_MODULE* song)
{
    SoundLibrary& library = Library();
    if (song == nullptr) return nullptr;
    const auto it = std::find_if(library.songs.begin(), library.songs.end(),
                                 [song](const std::unique_ptr<FMUSIC_MODULE>& s) { return s.get() == song; });
    return it == library.songs.end() ? nullptr : song->song.get();
}

}  // namespace

bool FSOUND_SetOutput(int output)
{
    if (Library().Running()) return false;
    if (output != FSOUND_OUTPUT_NOSOUND && output != FSOUND_OUTPUT_WINMM && output != FSOUND_OUTPUT_DSOUND) return false;
    Library().output = output;
    return true;
}

bool FSOUND_Init(int mixrate, int maxchannels, unsigned flags)
{
    FSOUND_Close();
    if (mixrate < kMinMixRate || mixrate > kMaxMixRate || maxchannels < 1 || maxchannels > kMaxChannels) return false;
    SoundLibrary& library = Library();
    library.mixer = std::make_unique<Mixer>(maxchannels, mixrate);
    const char* driver = library.output == FSOUND_OUTPUT_NOSOUND ? kSilentDriver : nullptr;
    if (OpenDevice(library, driver, mixrate)) {
        SDL_PauseAudioDevice(library.device, 0);
        return true;
    }
    Log::Print(1, "\tNo audio device (%s): running silent\n", SDL_GetError());
    if (driver == nullptr && OpenDevice(library, kSilentDriver, mixrate)) {
        SDL_PauseAudioDevice(library.device, 0);
        return true;
    }
    library.mixer.reset();
    return false;
}

void FSOUND_Close()
{
    SoundLibrary& library = Library();
    if (!library.Running()) return;
    SDL_CloseAudioDevice(library.device);
    SDL_AudioQuit();
    library.device = 0;
    library.driver.clear();
    library.mixer.reset();
    library.samples.clear();
    library.songs.clear();
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned mode, int offset, int length)
{
    SoundLibrary& library = Library();
    if (!library.Running()) return nullptr;
    WavFile wav;
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    const bool loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    if (!WavFile::Load(name, &wav) || !SampleData::FromWav(wav, library.mixer->Rate(), loop, &sample->data)) {
        return nullptr;
    }
    library.samples.push_back(std::move(sample));
    return library.samples.back().get();
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample)
{
    SoundLibrary& library = Library();
    if (FindSample(sample) == nullptr) return;
    {
        DeviceLock lock(library.device);
        library.mixer->StopSample(&sample->data);
    }
    library.samples.erase(std::find_if(library.samples.begin(), library.samples.end(),
                                       [sample](const std::unique_ptr<FSOUND_SAMPLE>& s) { return s.get() == sample; }));
}

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT* dsp, bool paused)
{
    if (FindSample(sample) == nullptr) return -1;
    SoundLibrary& library = Library();
    DeviceLock lock(library.device);
    return library.mixer->Play(channel, &sample->data, paused);
}

bool FSOUND_SetPaused(int channel, bool paused)
{
    SoundLibrary& library = Library();
    if (!library.Running()) return false;
    DeviceLock lock(library.device);
    return library.mixer->SetPaused(channel, paused);
}

bool FSOUND_IsPlaying(int channel)
{
    SoundLibrary& library = Library();
    if (!library.Running()) return false;
    DeviceLock lock(library.device);
    return library.mixer->IsPlaying(channel);
}

int FSOUND_GetChannelsPlaying()
{
    SoundLibrary& library = Library();
    if (!library.Running()) return 0;
    DeviceLock lock(library.device);
    return library.mixer->ChannelsPlaying();
}

int FSOUND_GetOutputRate()
{
    SoundLibrary& library = Library();
    return library.Running() ? library.mixer->Rate() : 0;
}

const char* FSOUND_GetDriverName()
{
    return Library().driver.c_str();
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name)
{
    SoundLibrary& library = Library();
    if (!library.Running()) return nullptr;
    auto song = ModuleSong::FromFile(name);
    if (!song) return nullptr;
    library.songs.push_back(std::make_unique<FMUSIC_MODULE>(FMUSIC_MODULE{std::move(song)}));
    return library.songs.back().get();
}

bool FMUSIC_FreeSong(FMUSIC_MODULE* song)
{
    SoundLibrary& library = Library();
    ModuleSong* playing = FindSong(song);
    if (playing == nullptr) return false;
    {
        DeviceLock lock(library.device);
        library.mixer->RemoveSong(playing);
    }
    library.songs.erase(std::find_if(library.songs.begin(), library.songs.end(),
                                     [song](const std::unique_ptr<FMUSIC_MODULE>& s) { return s.get() == song; }));
    return true;
}

bool FMUSIC_SetLooping(FMUSIC_MODULE* song, bool looping)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return false;
    DeviceLock lock(Library().device);
    found->SetLooping(looping);
    return true;
}

bool FMUSIC_PlaySong(FMUSIC_MODULE* song)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return false;
    DeviceLock lock(Library().device);
    found->Restart();
    Library().mixer->AddSong(found);
    return true;
}

bool FMUSIC_StopSong(FMUSIC_MODULE* song)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return false;
    DeviceLock lock(Library().device);
    found->Stop();
    Library().mixer->RemoveSong(found);
    return true;
}

bool FMUSIC_SetOrder(FMUSIC_MODULE* song, int order)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return false;
    DeviceLock lock(Library().device);
    return found->SetOrder(order);
}

int FMUSIC_GetOrder(FMUSIC_MODULE* song)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return -1;
    DeviceLock lock(Library().device);
    return found->Order();
}

bool FMUSIC_IsPlaying(FMUSIC_MODULE* song)
{
    ModuleSong* found = FindSong(song);
    if (found == nullptr) return false;
    DeviceLock lock(Library().device);
    return found->Playing();
}
