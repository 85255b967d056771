#include "tools/sound/Effects.h"

#include <algorithm>
#include <cmath>

#include "tools/sound/Envelope.h"
#include "tools/sound/Families.h"
#include "tools/sound/Filter.h"
#include "tools/sound/Noise.h"
#include "tools/sound/Oscillator.h"

// Effects: the game's shot and blast, and the module's noise sweeps and impacts.
namespace {

double Seconds(size_t frame) { return static_cast<double>(frame) / Sound::kSampleRate; }

// An exponential glide from one value to another over time constant tau.
double Glide(double from, double to, double t, double tau) { return to + (from - to) * std::exp(-t / tau); }

namespace shot {
constexpr double kLength = 0.15;      // s
constexpr double kStartHz = 1500.0;   // the zap falls from here...
constexpr double kEndHz = 380.0;      // ...towards here
constexpr double kGlideTau = 0.045;   // s
constexpr double kAttack = 0.002;     // s
constexpr double kDecayTau = 0.045;   // s
constexpr double kSparkleMix = 0.35;  // the octave above, for brightness
constexpr double kBrightHz = 6000.0;  // low-pass at the start, closing with the decay
constexpr float kPeak = 0.5f;         // a shot sits under the music and the blasts
}  // namespace shot

namespace blast {
constexpr double kLength = 1.5;        // s
constexpr double kBoomStartHz = 95.0;
constexpr double kBoomEndHz = 32.0;
constexpr double kBoomGlideTau = 0.12; // s
constexpr double kBoomTau = 0.35;      // s
constexpr double kRoarTau = 0.4;       // s
constexpr double kRoarOpenHz = 5000.0; // the roar's low-pass, closing...
constexpr double kRoarClosedHz = 180.0;// ...to this
constexpr double kRoarCloseTau = 0.25; // s
constexpr double kCrackleRate = 0.0015;// chance of a crackle per frame while it lasts
constexpr double kCrackleTau = 0.3;    // s
constexpr double kDrive = 2.5;
constexpr float kPeak = 0.71f;         // 3 dB under full scale: room for the music under it
}  // namespace blast

constexpr double kEndFade = 0.02;  // s
constexpr double kHalfPi = 1.57079632679489661923;

float SoftClip(float value, double drive)
{
    return static_cast<float>(std::tanh(drive * value) / std::tanh(drive));
}

Sound Sweep(const VoiceSettings& s)
{
    Sound sound;
    sound.samples.resize(Sound::Frames(s["length"]));
    Noise noise(81);
    Filter band;
    const double length = s["length"];
    const double peakAt = std::clamp(s["peak"], 0.05, 0.95) * length;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const double along = t / length;
        const double hz = s["from"] * std::pow(s["to"] / s["from"], along);
        const double rise = t < peakAt ? std::sin(kHalfPi * t / peakAt) : std::cos(kHalfPi * (t - peakAt) / (length - peakAt));
        sound.samples[i] = band.BandPass(noise.Next(), hz, s["resonance"]) * static_cast<float>(rise * rise);
    }
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(0.9f);
    return sound;
}

Sound Boom(const VoiceSettings& s)
{
    Sound sound;
    const double decay = s["decay"];
    sound.samples.resize(Sound::Frames(decay * 5.0));
    Oscillator body;
    Noise noise(91);
    Filter dark;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const float low = body.Sine(Glide(s["pitch"] * 2.5, s["pitch"], t, 0.08)) * Envelope::Decay(t, decay);
        const float rumble = dark.LowPass(noise.Next(), Glide(3000.0, 150.0, t, 0.15), 0.1) * Envelope::Decay(t, decay * 0.6);
        sound.samples[i] = SoftClip(low + static_cast<float>(s["noise"]) * rumble, 2.0) * Envelope{0.003, 0.0, 1.0}.At(t);
    }
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(0.95f);
    return sound;
}

}  // namespace

Sound FireShot()
{
    using namespace shot;
    Sound sound;
    sound.samples.resize(Sound::Frames(kLength));
    Oscillator zap, sparkle;
    Filter tone;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const double hz = Glide(kStartHz, kEndHz, t, kGlideTau);
        const float amp = Envelope{kAttack, 0.0, 1.0}.At(t) * Envelope::Decay(t, kDecayTau);
        const float raw = zap.Pulse(hz, 0.3) + static_cast<float>(kSparkleMix) * sparkle.Sine(hz * 2.0);
        sound.samples[i] = tone.LowPass(raw, kBrightHz * Envelope::Decay(t, 2.0 * kDecayTau) + hz, 0.3) * amp;
    }
    sound.FadeOut(Sound::Frames(kEndFade));
    sound.Normalise(kPeak);
    return sound;
}

Sound ExplosionBlast()
{
    using namespace blast;
    Sound sound;
    sound.samples.resize(Sound::Frames(kLength));
    Oscillator boom;
    Noise noise(101), crackleNoise(102);
    Filter roarFilter, crackleFilter;
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = Seconds(i);
        const float low = boom.Sine(Glide(kBoomStartHz, kBoomEndHz, t, kBoomGlideTau)) * Envelope::Decay(t, kBoomTau);
        const double roarHz = Glide(kRoarOpenHz, kRoarClosedHz, t, kRoarCloseTau);
        const float roar = roarFilter.LowPass(noise.Next(), roarHz, 0.15) * Envelope::Decay(t, kRoarTau);
        const bool crack = crackleNoise.Next() * 0.5f + 0.5f < kCrackleRate * Envelope::Decay(t, kCrackleTau);
        const float crackle = crackleFilter.BandPass(crack ? 1.0f : 0.0f, 2500.0, 0.5);
        const float attack = Envelope{0.004, 0.0, 1.0}.At(t);
        sound.samples[i] = SoftClip(attack * (0.9f * low + 1.4f * roar + 3.0f * crackle), kDrive);
    }
    sound.FadeOut(Sound::Frames(0.1));
    sound.Normalise(kPeak);
    return sound;
}

const std::vector<Voice>& EffectVoices()
{
    static const std::vector<Voice> voices = {
        {"sweep", {{"from", 200, 20, 18000}, {"to", 6000, 20, 18000}, {"length", 2.0, 0.1, 8}, {"peak", 0.8, 0, 1}, {"resonance", 0.5, 0, 0.95}}, Sweep},
        {"boom", {{"pitch", 38, 20, 120}, {"decay", 0.7, 0.1, 4}, {"noise", 0.6, 0, 2}}, Boom},
    };
    return voices;
}
