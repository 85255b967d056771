#include "tools/sound/Oscillator.h"

#include <cmath>

#include "tools/sound/Sound.h"

namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// The correction that rounds a unit step at phase 0 of a cycle advancing by dt per frame.
double Blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Wrap(double phase) { return phase - std::floor(phase); }

}  // namespace

double Oscillator::Advance(double freq)
{
    const double now = phase;
    phase = Wrap(phase + freq / Sound::kSampleRate);
    return now;
}

float Oscillator::Sine(double freq)
{
    return static_cast<float>(std::sin(kTwoPi * Advance(freq)));
}

float Oscillator::Saw(double freq)
{
    const double dt = freq / Sound::kSampleRate;
    const double t = Advance(freq);
    return static_cast<float>(2.0 * t - 1.0 - Blep(t, dt));
}

float Oscillator::Pulse(double freq, double width)
{
    const double dt = freq / Sound::kSampleRate;
    const double t = Advance(freq);
    double value = t < width ? 1.0 : -1.0;
    value += Blep(t, dt);
    value -= Blep(Wrap(t + 1.0 - width), dt);
    return static_cast<float>(value);
}

float Oscillator::Triangle(double freq)
{
    const double t = Advance(freq);
    return static_cast<float>(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
}
