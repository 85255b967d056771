#include <algorithm>
#include <cmath>

#include "tools/sound/Envelope.h"
#include "tools/sound/Families.h"
#include "tools/sound/Filter.h"
#include "tools/sound/Oscillator.h"

// Basses: one saw or square with a sine under it, through a low-pass filter that opens on the
// attack and settles, made at C-3 and held by a loop of whole cycles once the filter is still.
namespace {

constexpr int kBassNote = 36;         // C-3, 65.4 Hz
constexpr double kAttack = 0.004;     // s
constexpr double kLoopSeconds = 0.25; // s, about
constexpr double kSettle = 5.0;       // filter decay constants before the loop may begin
constexpr double kLoopFade = 0.01;    // s
constexpr float kPeak = 0.95f;

Sound Bass(const VoiceSettings& s)
{
    Sound sound;
    const double hz = Sound::NoteHz(kBassNote);
    sound.pitchHz = hz;
    const Envelope amp{kAttack, s["decay"], s["sustain"]};
    const double filterDecay = s["fdecay"];
    const bool held = s["sustain"] > 0.0;
    const double loopStart = std::max(kAttack + s["decay"], kSettle * filterDecay);
    const size_t loopBegin = Sound::Frames(loopStart);
    const size_t length = held ? loopBegin + Sound::WholeCycleFrames(hz, kLoopSeconds) : Sound::Frames(kAttack + s["decay"]);
    sound.samples.resize(length);

    Oscillator saw, square, sub;
    Filter filter;
    const double drive = 1.0 + 6.0 * s["drive"];
    for (size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / Sound::kSampleRate;
        const double shape = s["shape"];
        const float raw = static_cast<float>(1.0 - shape) * saw.Saw(hz) + static_cast<float>(shape) * square.Pulse(hz, 0.5);
        const double cutoff = s["cutoff"] * (1.0 + s["env"] * Envelope::Decay(t, filterDecay));
        float value = filter.LowPass(raw, cutoff, s["resonance"]) + static_cast<float>(s["sub"]) * sub.Sine(hz);
        value = static_cast<float>(std::tanh(drive * value) / std::tanh(drive));
        sound.samples[i] = value * amp.At(t);
    }
    if (held) {
        sound.HoldFrom(loopBegin, Sound::Frames(s["release"]), Sound::Frames(kLoopFade), true);
    } else {
        sound.FadeOut(Sound::Frames(0.005));
    }
    sound.Normalise(kPeak);
    return sound;
}

}  // namespace

const std::vector<Voice>& BassVoices()
{
    static const std::vector<Voice> voices = {
        {"bass",
         {{"shape", 0.0, 0, 1}, {"cutoff", 400, 40, 8000}, {"env", 4.0, 0, 20}, {"fdecay", 0.08, 0.005, 1},
          {"resonance", 0.3, 0, 0.95}, {"drive", 0.3, 0, 1}, {"sub", 0.5, 0, 1.5}, {"decay", 0.2, 0.01, 3},
          {"sustain", 0.7, 0, 1}, {"release", 0.08, 0.01, 1}},
         Bass},
    };
    return voices;
}
