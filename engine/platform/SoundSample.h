#pragma once

struct FSOUND_SAMPLE;

// One sample file loaded into the sound library; the handle is null when not loaded.
class SoundSample {
public:
    SoundSample() = default;
    ~SoundSample();
    SoundSample(const SoundSample&) = delete;
    SoundSample& operator=(const SoundSample&) = delete;

    // Loads the file from the disk (a relative name from the DataDirectory) with the three mode
    // flags; stores and returns the handle, null when the file is missing or the library is not
    // running.
    FSOUND_SAMPLE* Load(const char* name, bool loop, bool hardware3d, bool effects);
    void Free();

    FSOUND_SAMPLE* Handle() const { return handle_; }

private:
    FSOUND_SAMPLE* handle_ = nullptr;
};
