#include <cmath>

#include "tools/sound/Envelope.h"
#include "tools/sound/Families.h"
#include "tools/sound/Filter.h"
#include "tools/sound/Noise.h"
#include "tools/sound/Oscillator.h"

// Drums: struck sounds that decay freely, made at the pitch they sound at when played at C-5.
namespace {

constexpr double kTail = 5.5;            // a drum lasts this many decay constants
constexpr double kStartFade = 0.0007;    // s: the strike rises this fast, without a step
constexpr double kEndFade = 0.005;       // s, the last moment of every drum
constexpr double kPitchDropTau = 0.025;  // s, how fast a kick or tom falls to its pitch
constexpr float kPeak = 0.95f;

// The inharmonic partials of a metallic cymbal tone, as ratios of its fundamental.
constexpr double kMetalRatios[] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
constexpr double kMetalFundamentalHz = 100.0;  // at tone 8000 Hz

double Seconds(size_t frame) { return static_cast<double>(frame) / Sound::kSampleRate; }

// Soft clipping that keeps small values and rounds large ones; drive 0 leaves the sound alone.
float Saturate(float value, double drive)
{
    if (drive <= 0.0) return value;
    const double gain = 1.0 + 8.0 * drive;
    return static_cast<float>(std::tanh(gain * value) / std::tanh(gain));
}

Sound Finish(Sound sound)
{
    sound.FadeIn(Sound::Frames(kStartFade));
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(kPeak);
    return sound;
}

// A sine whose pitch falls from start to end: the body of kicks and toms.
Sound Drop(double startHz, double endHz, double decay, double drive, double click, uint32_t seed)
{
    Sound sound;
    sound.samples.resize(Sound::Frames(decay * kTail));
    Oscillator body;
    Noise noise(seed);
    Filter clickFilter;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const double hz = endHz + (startHz - endHz) * std::exp(-t / kPitchDropTau);
        float value = body.Sine(hz) * Envelope::Decay(t, decay);
        value += static_cast<float>(click) * clickFilter.HighPass(noise.Next(), 2000.0, 0.2) * Envelope::Decay(t, 0.004);
        sound.samples[i] = Saturate(value, drive);
    }
    return Finish(sound);
}

Sound Kick(const VoiceSettings& s)
{
    return Drop(s["punch"], s["pitch"], s["decay"], s["drive"], s["click"], 11);
}

Sound Tom(const VoiceSettings& s)
{
    return Drop(s["pitch"] * 1.6, s["pitch"], s["decay"], 0.1, 0.2, 12);
}

Sound Snare(const VoiceSettings& s)
{
    Sound sound;
    const double decay = s["decay"];
    sound.samples.resize(Sound::Frames(decay * kTail));
    Oscillator low, high;
    Noise noise(21);
    Filter band, air;
    const double tone = s["tone"];
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const double drop = 1.0 + 0.3 * std::exp(-t / 0.01);
        const float body = (low.Sine(tone * drop) + 0.5f * high.Sine(tone * 1.78 * drop)) * Envelope::Decay(t, decay * 0.35);
        const float white = noise.Next();
        const float rattle = band.BandPass(white, s["snap"], 0.1) + 0.5f * air.HighPass(white, 6000.0, 0.0);
        const float attack = Envelope{0.001, 0.0, 1.0}.At(t);
        sound.samples[i] = attack * ((1.0f - static_cast<float>(s["noise"])) * body +
                                     static_cast<float>(s["noise"]) * rattle * Envelope::Decay(t, decay));
    }
    return Finish(sound);
}

Sound Clap(const VoiceSettings& s)
{
    Sound sound;
    const double decay = s["decay"];
    sound.samples.resize(Sound::Frames(0.03 + decay * kTail));
    Noise noise(31);
    Filter band;
    constexpr double kBurstGap = 0.009;  // s between the hands of a clap
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        double level = Envelope::Decay(std::max(0.0, t - 3 * kBurstGap), decay);
        for (int burst = 0; burst < 3; ++burst) {
            const double since = t - burst * kBurstGap;
            if (since >= 0.0 && since < kBurstGap) level = std::max(level, static_cast<double>(Envelope::Decay(since, 0.003)));
        }
        sound.samples[i] = band.BandPass(noise.Next(), s["tone"], 0.3) * static_cast<float>(level);
    }
    return Finish(sound);
}

// Hats and cymbals: a cluster of square waves at inharmonic ratios with noise, high-passed.
Sound Metal(double decay, double toneHz, double noiseMix, double attack, uint32_t seed)
{
    Sound sound;
    sound.samples.resize(Sound::Frames(attack + decay * kTail));
    Oscillator partials[std::size(kMetalRatios)];
    Noise noise(seed);
    Filter band, high;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        float metal = 0.0f;
        for (size_t p = 0; p < std::size(kMetalRatios); ++p) metal += partials[p].Pulse(kMetalFundamentalHz * kMetalRatios[p] * toneHz / 8000.0, 0.5);
        const float mix = static_cast<float>(1.0 - noiseMix) * metal / 6.0f + static_cast<float>(noiseMix) * noise.Next();
        const float shaped = high.HighPass(band.BandPass(mix, toneHz, 0.2), toneHz * 0.7, 0.0);
        const float rise = Envelope{attack, 0.0, 1.0}.At(t);
        sound.samples[i] = shaped * rise * Envelope::Decay(std::max(0.0, t - attack), decay);
    }
    return Finish(sound);
}

Sound Hat(const VoiceSettings& s)
{
    return Metal(s["decay"], s["tone"], 0.6, 0.0005, 41);
}

Sound Cymbal(const VoiceSettings& s)
{
    return Metal(s["decay"], s["tone"], 0.75, 0.002, 51);
}

}  // namespace

const std::vector<Voice>& DrumVoices()
{
    static const std::vector<Voice> voices = {
        {"kick", {{"pitch", 48, 25, 120}, {"punch", 170, 60, 400}, {"decay", 0.12, 0.03, 1.0}, {"drive", 0.3, 0, 1}, {"click", 0.3, 0, 1}}, Kick},
        {"snare", {{"tone", 185, 80, 400}, {"decay", 0.16, 0.03, 1.0}, {"noise", 0.7, 0, 1}, {"snap", 2500, 500, 9000}}, Snare},
        {"clap", {{"tone", 1300, 300, 5000}, {"decay", 0.09, 0.02, 1.0}}, Clap},
        {"hat", {{"decay", 0.035, 0.005, 1.0}, {"tone", 9000, 2000, 16000}}, Hat},
        {"cymbal", {{"decay", 0.5, 0.05, 3.0}, {"tone", 7000, 2000, 16000}}, Cymbal},
        {"tom", {{"pitch", 110, 40, 400}, {"decay", 0.18, 0.03, 1.0}}, Tom},
    };
    return voices;
}
