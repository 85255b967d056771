#include <cmath>
#include <iterator>

#include "tools/sound/Envelope.h"
#include "tools/sound/Families.h"
#include "tools/sound/Filter.h"
#include "tools/sound/Noise.h"
#include "tools/sound/Oscillator.h"

// Pads: a stack of slightly detuned oscillators through a low-pass filter that breathes once per
// loop, so that the filter is at the same point whenever the loop comes round.
namespace {

constexpr int kPadNote = 60;             // C-5
constexpr double kSpread[] = {-1.0, -0.62, -0.27, 0.0, 0.31, 0.66, 1.0};  // of the detune
constexpr double kSettle = 0.25;         // s after the attack before the loop may begin
constexpr double kLoopFade = 0.45;       // s of crossfade where the loop closes
constexpr double kTwoPi = 6.28318530717958647692;
constexpr float kPeak = 0.9f;

Sound Pad(const VoiceSettings& s)
{
    Sound sound;
    const double hz = Sound::NoteHz(kPadNote);
    sound.pitchHz = hz;
    const double attack = s["attack"];
    const size_t loopBegin = Sound::Frames(attack + kSettle);
    const size_t loopFrames = Sound::Frames(s["loop"]);
    sound.samples.resize(loopBegin + loopFrames);

    constexpr size_t kVoices = std::size(kSpread);
    Noise phases(61);
    Oscillator saws[kVoices];
    Oscillator triangles[kVoices];
    Oscillator lows[kVoices];
    double voiceHz[kVoices];
    for (size_t v = 0; v < kVoices; ++v) {
        const double start = 0.5 * (phases.Next() + 1.0);
        saws[v] = triangles[v] = lows[v] = Oscillator(start);
        voiceHz[v] = hz * std::pow(2.0, kSpread[v] * s["detune"] / 12.0);
    }
    Filter filter;
    const Envelope amp{attack, 0.0, 1.0};
    const double shape = s["shape"];
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = static_cast<double>(i) / Sound::kSampleRate;
        float stack = 0.0f;
        for (size_t v = 0; v < kVoices; ++v) {
            stack += static_cast<float>(1.0 - shape) * saws[v].Saw(voiceHz[v]) + static_cast<float>(shape) * triangles[v].Triangle(voiceHz[v]);
            stack += static_cast<float>(s["low"]) * lows[v].Saw(voiceHz[v] * 0.5);
        }
        const double sinceLoop = static_cast<double>(static_cast<long>(i) - static_cast<long>(loopBegin)) / Sound::kSampleRate;
        const double breath = 1.0 + s["motion"] * std::sin(kTwoPi * sinceLoop / s["loop"]);
        const float filtered = filter.LowPass(stack / kVoices, s["bright"] * breath, s["resonance"]);
        sound.samples[i] = filtered * amp.At(t);
    }
    sound.HoldFrom(loopBegin, Sound::Frames(s["release"]), Sound::Frames(kLoopFade), false);
    sound.Normalise(kPeak);
    return sound;
}

}  // namespace

const std::vector<Voice>& PadVoices()
{
    static const std::vector<Voice> voices = {
        {"pad",
         {{"detune", 0.15, 0, 1}, {"bright", 1800, 100, 12000}, {"resonance", 0.1, 0, 0.9}, {"shape", 0.0, 0, 1},
          {"low", 0.0, 0, 1}, {"motion", 0.3, 0, 0.9}, {"attack", 0.5, 0.005, 4}, {"release", 0.9, 0.02, 4},
          {"loop", 2.4, 0.8, 6}},
         Pad},
    };
    return voices;
}
