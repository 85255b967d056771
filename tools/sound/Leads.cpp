#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/sound/Envelope.h"
#include "tools/sound/Families.h"
#include "tools/sound/Filter.h"
#include "tools/sound/Noise.h"
#include "tools/sound/Oscillator.h"

// Leads and melodic one-shots: a held synth lead, a plucked string and a bell.
namespace {

constexpr int kLeadNote = 60;          // C-5
constexpr int kBellNote = 72;          // C-6: bells are made an octave up, where they ring
constexpr double kLoopSeconds = 0.2;   // s, about, for the lead's loop of whole cycles
constexpr double kLoopFade = 0.008;    // s
constexpr double kTail = 5.0;          // decay constants a free-ringing sound lasts
constexpr double kEndFade = 0.01;      // s
constexpr double kTwoPi = 6.28318530717958647692;
constexpr float kPeak = 0.9f;

double Seconds(size_t frame) { return static_cast<double>(frame) / Sound::kSampleRate; }

Sound Lead(const VoiceSettings& s)
{
    Sound sound;
    const double hz = Sound::NoteHz(kLeadNote);
    sound.pitchHz = hz;
    const Envelope amp{s["attack"], s["decay"], s["sustain"]};
    const double settle = std::max(s["attack"] + s["decay"], 5.0 * s["fdecay"]);
    const size_t loopBegin = Sound::Frames(settle);
    sound.samples.resize(loopBegin + Sound::WholeCycleFrames(hz, kLoopSeconds));
    Oscillator saw, pulse, octave;
    Filter filter;
    const float shape = static_cast<float>(s["shape"]);
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const float raw = (1.0f - shape) * saw.Saw(hz) + shape * pulse.Pulse(hz, 0.5 - 0.25 * s["width"]) +
                          static_cast<float>(s["octave"]) * octave.Saw(hz * 2.0);
        const double cutoff = s["bright"] * (1.0 + s["env"] * Envelope::Decay(t, s["fdecay"]));
        sound.samples[i] = filter.LowPass(raw, cutoff, s["resonance"]) * amp.At(t);
    }
    if (s["sustain"] > 0.0) {
        sound.HoldFrom(loopBegin, Sound::Frames(s["release"]), Sound::Frames(kLoopFade), true);
    } else {
        sound.FadeOut(Sound::Frames(kEndFade));
    }
    sound.Normalise(kPeak);
    return sound;
}

// A plucked string: a period of filtered noise that circulates, losing its highs each round.
Sound Pluck(const VoiceSettings& s)
{
    Sound sound;
    const size_t period = static_cast<size_t>(std::lround(Sound::kSampleRate / Sound::NoteHz(kLeadNote)));
    sound.pitchHz = static_cast<double>(Sound::kSampleRate) / (static_cast<double>(period) + 0.5);
    const double decay = s["decay"];
    sound.samples.resize(Sound::Frames(decay * kTail));
    std::vector<float> line(period);
    Noise noise(71);
    Filter soften;
    for (float& value : line) value = soften.LowPass(noise.Next(), s["bright"], 0.0);
    // Each round loses exp(-period / (rate × decay)), less what the averaging already takes.
    const float keep = static_cast<float>(std::exp(-static_cast<double>(period) / (Sound::kSampleRate * decay)));
    float previous = 0.0f;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const size_t at = i % period;
        const float now = line[at];
        line[at] = keep * 0.5f * (now + previous);
        previous = now;
        sound.samples[i] = now;
    }
    sound.FadeIn(Sound::Frames(0.001));
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(kPeak);
    return sound;
}

// A bell: a sine carrier frequency-modulated at an inharmonic ratio, the modulation dying faster
// than the tone so that the strike is bright and the ring pure.
Sound Bell(const VoiceSettings& s)
{
    Sound sound;
    const double hz = Sound::NoteHz(kBellNote);
    sound.pitchHz = hz;
    const double decay = s["decay"];
    sound.samples.resize(Sound::Frames(decay * kTail));
    double carrier = 0.0, modulator = 0.0, partial = 0.0;
    const double ratio = s["ratio"];
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const double index = s["index"] * Envelope::Decay(t, decay * 0.3);
        const double value = std::sin(kTwoPi * carrier + index * std::sin(kTwoPi * modulator)) +
                             0.3 * std::sin(kTwoPi * partial) * Envelope::Decay(t, decay * 0.4);
        carrier += hz / Sound::kSampleRate;
        modulator += hz * ratio / Sound::kSampleRate;
        partial += hz * 2.76 / Sound::kSampleRate;
        const float strike = Envelope{0.002, 0.0, 1.0}.At(t);
        sound.samples[i] = static_cast<float>(value) * strike * Envelope::Decay(t, decay);
    }
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(kPeak);
    return sound;
}

}  // namespace

const std::vector<Voice>& LeadVoices()
{
    static const std::vector<Voice> voices = {
        {"lead",
         {{"shape", 0.3, 0, 1}, {"width", 0.0, 0, 1}, {"octave", 0.0, 0, 1}, {"bright", 2500, 100, 12000},
          {"env", 1.5, 0, 10}, {"fdecay", 0.15, 0.005, 2}, {"resonance", 0.2, 0, 0.9}, {"attack", 0.01, 0.001, 2},
          {"decay", 0.3, 0.01, 3}, {"sustain", 0.7, 0, 1}, {"release", 0.2, 0.01, 2}},
         Lead},
        {"pluck", {{"decay", 0.5, 0.05, 4}, {"bright", 5000, 200, 16000}}, Pluck},
        {"bell", {{"decay", 0.8, 0.1, 4}, {"ratio", 3.5, 0.5, 8}, {"index", 2.5, 0, 10}}, Bell},
    };
    return voices;
}
