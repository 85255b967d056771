#include "tools/sound/Sound.h"

#include <algorithm>
#include <cmath>

#include "tools/sound/Filter.h"

namespace {

constexpr double kMiddleCHz = 261.6255653005986;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

double Sound::NoteHz(double note)
{
    return kMiddleCHz * std::pow(2.0, (note - kMiddleC) / 12.0);
}

size_t Sound::Frames(double seconds)
{
    return seconds <= 0.0 ? 0 : static_cast<size_t>(std::lround(seconds * kSampleRate));
}

int Sound::C5Speed() const
{
    return static_cast<int>(std::lround(rate * NoteHz(kMiddleC) / pitchHz));
}

size_t Sound::WholeCycleFrames(double hz, double seconds)
{
    const double period = kSampleRate / hz;
    const long least = std::max(1L, std::lround(seconds * hz));
    long best = least;
    double bestError = 1.0;
    for (long cycles = least; cycles < 2 * least; ++cycles) {
        const double frames = cycles * period;
        const double error = std::fabs(frames - std::round(frames));
        if (error < bestError - 1e-9) {
            best = cycles;
            bestError = error;
        }
    }
    return static_cast<size_t>(std::lround(best * period));
}

void Sound::HoldFrom(size_t begin, size_t releaseFrames, size_t fadeFrames, bool periodic)
{
    if (begin >= samples.size()) return;
    loop = Loop::Sustain;
    loopBegin = begin;
    loopEnd = samples.size();
    AddReleaseTail(releaseFrames);
    SealLoop(fadeFrames, periodic);
}

void Sound::Downsample(int factor)
{
    if ((factor != 2 && factor != 4) || rate != kSampleRate) return;
    constexpr double kPassShare = 0.45;  // of the new rate: what survives the low-pass
    const double cutoff = kPassShare * rate / factor;
    Filter first, second;
    std::vector<float> kept;
    kept.reserve(samples.size() / static_cast<size_t>(factor) + 1);
    for (size_t i = 0; i < samples.size(); ++i) {
        const float smooth = second.LowPass(first.LowPass(samples[i], cutoff, 0.3), cutoff, 0.3);
        if (i % static_cast<size_t>(factor) == 0) kept.push_back(smooth);
    }
    samples = std::move(kept);
    rate /= factor;
    const auto scale = [factor](size_t frame) { return (frame + static_cast<size_t>(factor) / 2) / static_cast<size_t>(factor); };
    loopBegin = std::min(scale(loopBegin), samples.size());
    loopEnd = std::min(scale(loopEnd), samples.size());
    if (loopBegin >= loopEnd) loop = Loop::None;
}

void Sound::Normalise(float peak)
{
    float largest = 0.0f;
    for (float value : samples) largest = std::max(largest, std::fabs(value));
    if (largest <= 0.0f) return;
    const float scale = peak / largest;
    for (float& value : samples) value *= scale;
}

void Sound::SealLoop(size_t fadeFrames, bool periodic)
{
    if (loop == Loop::None || loopEnd > samples.size() || loopBegin >= loopEnd) return;
    fadeFrames = std::min({fadeFrames, loopBegin, loopEnd - loopBegin});
    for (size_t i = 0; i < fadeFrames; ++i) {
        const double t = (static_cast<double>(i) + 0.5) / static_cast<double>(fadeFrames);
        const float keep = static_cast<float>(periodic ? 1.0 - t : std::cos(t * kPi / 2));
        const float take = static_cast<float>(periodic ? t : std::sin(t * kPi / 2));
        const size_t at = loopEnd - fadeFrames + i;
        samples[at] = samples[at] * keep + samples[loopBegin - fadeFrames + i] * take;
    }
}

void Sound::AddReleaseTail(size_t frames)
{
    if (loopBegin >= loopEnd || loopEnd != samples.size()) return;
    frames = std::min(frames, loopEnd - loopBegin);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(frames);
        const float fade = static_cast<float>(0.5 * (1.0 + std::cos(t * kPi)));
        samples.push_back(samples[loopBegin + i] * fade);
    }
}

void Sound::FadeIn(size_t frames)
{
    frames = std::min(frames, samples.size());
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(frames);
        samples[i] *= static_cast<float>(0.5 * (1.0 - std::cos(t * kPi)));
    }
}

void Sound::FadeOut(size_t frames)
{
    frames = std::min(frames, samples.size());
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i + 1) / static_cast<double>(frames);
        samples[samples.size() - frames + i] *= static_cast<float>(0.5 * (1.0 + std::cos(t * kPi)));
    }
}

std::vector<int16_t> Sound::Pcm16() const
{
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
    }
    return pcm;
}
