#include "engine/platform/Mixer.h"

#include <algorithm>

#include "engine/platform/ModuleSong.h"

Mixer::Mixer(int channels, int rate)
    : rate_(rate), voices_(static_cast<size_t>(std::max(channels, 0))), sum_(kBlockFrames * 2), songBlock_(kBlockFrames * 2)
{
}

int Mixer::Play(int channel, const SampleData* sample, bool paused)
{
    if (sample == nullptr || sample->FrameCount() == 0) return -1;
    if (channel == kFree) {
        const auto free = std::find_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.sample == nullptr; });
        if (free == voices_.end()) return -1;
        channel = static_cast<int>(free - voices_.begin());
    }
    if (channel < 0 || channel >= Channels()) return -1;
    voices_[static_cast<size_t>(channel)] = Voice{sample, 0, paused};
    return channel;
}

void Mixer::StopSample(const SampleData* sample)
{
    for (Voice& voice : voices_) {
        if (voice.sample == sample) voice = Voice{};
    }
}

bool Mixer::SetPaused(int channel, bool paused)
{
    if (!IsPlaying(channel)) return false;
    voices_[static_cast<size_t>(channel)].paused = paused;
    return true;
}

bool Mixer::IsPlaying(int channel) const
{
    return channel >= 0 && channel < Channels() && voices_[static_cast<size_t>(channel)].sample != nullptr;
}

int Mixer::ChannelsPlaying() const
{
    return static_cast<int>(std::count_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.sample != nullptr; }));
}

void Mixer::AddSong(ModuleSong* song)
{
    if (song != nullptr && std::find(songs_.begin(), songs_.end(), song) == songs_.end()) songs_.push_back(song);
}

void Mixer::RemoveSong(ModuleSong* song)
{
    songs_.erase(std::remove(songs_.begin(), songs_.end(), song), songs_.end());
}

void Mixer::Mix(int16_t* out, size_t frames)
{
    while (frames > 0) {
        const size_t block = std::min(frames, kBlockFrames);
        MixBlock(out, block);
        out += block * 2;
        frames -= block;
    }
}

void Mixer::MixBlock(int16_t* out, size_t frames)
{
    std::fill(sum_.begin(), sum_.begin() + static_cast<std::ptrdiff_t>(frames * 2), 0);
    for (Voice& voice : voices_) {
        if (voice.sample != nullptr && !voice.paused) MixVoice(voice, frames);
    }
    MixSongs(frames);
    for (size_t i = 0; i < frames * 2; ++i) {
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(sum_[i], INT16_MIN, INT16_MAX));
    }
}

void Mixer::MixVoice(Voice& voice, size_t frames)
{
    const std::vector<int16_t>& source = voice.sample->frames;
    const size_t length = voice.sample->FrameCount();
    size_t done = 0;
    while (done < frames) {
        const size_t run = std::min(frames - done, length - voice.position);
        const int16_t* from = &source[voice.position * 2];
        int32_t* to = &sum_[done * 2];
        for (size_t i = 0; i < run * 2; ++i) to[i] += from[i];
        done += run;
        voice.position += run;
        if (voice.position < length) continue;
        if (!voice.sample->loop) {
            voice = Voice{};
            return;
        }
        voice.position = 0;
    }
}

void Mixer::MixSongs(size_t frames)
{
    for (ModuleSong* song : songs_) {
        const size_t written = song->Render(rate_, frames, songBlock_.data());
        for (size_t i = 0; i < written * 2; ++i) sum_[i] += songBlock_[i];
    }
    songs_.erase(std::remove_if(songs_.begin(), songs_.end(), [](ModuleSong* s) { return !s->Playing(); }), songs_.end());
}
