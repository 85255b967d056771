#pragma once

// The sound library the game calls: sample playback on a fixed number of channels and one kind of
// tracker module, in the shape of the calls the sound code makes, on SDL audio with our own mixer
// and libopenmpt. Mixing runs on SDL's audio thread; every call here is made from the game's one
// thread. Calls with a null or already freed handle, and every call before FSOUND_Init
// succeeded, do nothing and return a failure value.

struct FSOUND_SAMPLE;   // a loaded sound
struct FMUSIC_MODULE;   // a loaded song
struct FSOUND_DSPUNIT;  // never created; the play call accepts the argument for its shape

constexpr int FSOUND_FREE = -1;  // "any free channel" / "any free sample slot"

// Outputs. The two system outputs both mean SDL's default audio driver on this platform;
// FSOUND_OUTPUT_NOSOUND runs the mixer with no device (SDL's dummy driver).
constexpr int FSOUND_OUTPUT_NOSOUND = 0;
constexpr int FSOUND_OUTPUT_WINMM = 1;
constexpr int FSOUND_OUTPUT_DSOUND = 2;

// Sample modes; only FSOUND_LOOP_NORMAL changes anything here.
constexpr unsigned FSOUND_LOOP_NORMAL = 0x2;
constexpr unsigned FSOUND_HW3D = 0x1000;
constexpr unsigned FSOUND_ENABLEFX = 0x100000;

// Chooses the output for the next FSOUND_Init; false once the library is running or for an
// unknown output.
bool FSOUND_SetOutput(int output);
// Opens the output at mixrate Hz (8000 to 192000) with maxchannels sample channels (1 to 256);
// a running library is closed first. When the chosen driver cannot open a device the library
// falls back to SDL's dummy driver and runs silent, so that the game behaves the same with no
// sound hardware; false only when even that fails or the arguments are out of range.
bool FSOUND_Init(int mixrate, int maxchannels, unsigned flags);
// Stops all sound and frees every sample and song; harmless when already closed.
void FSOUND_Close();

// Loads a WAV file from the disk (8 or 16 bit, mono or stereo, any rate), converted to the mix
// rate. index, offset and length are accepted for the call's shape and ignored. Null when the
// file is missing or not a sound we can play.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned mode, int offset, int length);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
// Plays the sample on channel (FSOUND_FREE: the lowest free one) and returns the channel, or -1.
// The sound plays to its end and frees its channel by itself.
int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT* dsp, bool paused);
bool FSOUND_SetPaused(int channel, bool paused);
bool FSOUND_IsPlaying(int channel);
int FSOUND_GetChannelsPlaying();
// The rate the mixer runs at; 0 while closed.
int FSOUND_GetOutputRate();
// The SDL audio driver in use ("dummy" after the fallback); empty while closed.
const char* FSOUND_GetDriverName();

// Loads a tracker module from the disk; null when missing or not a module. Songs live until
// FMUSIC_FreeSong or FSOUND_Close.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
bool FMUSIC_FreeSong(FMUSIC_MODULE* song);
bool FMUSIC_SetLooping(FMUSIC_MODULE* song, bool looping);
// From order 0, row 0.
bool FMUSIC_PlaySong(FMUSIC_MODULE* song);
bool FMUSIC_StopSong(FMUSIC_MODULE* song);
// Playback continues at the first row of the order at once.
bool FMUSIC_SetOrder(FMUSIC_MODULE* song, int order);
// The order playing now; -1 for a null song.
int FMUSIC_GetOrder(FMUSIC_MODULE* song);
bool FMUSIC_IsPlaying(FMUSIC_MODULE* song);
