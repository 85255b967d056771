#include "tools/sound/Envelope.h"

#include <cmath>

namespace {

constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kDecayDepth = 5.0;  // the fall reaches e^-5 of its height at the end of decay

}  // namespace

float Envelope::At(double seconds) const
{
    if (seconds < 0.0) return 0.0f;
    if (seconds < attack) return static_cast<float>(std::sin(kHalfPi * seconds / attack));
    const double intoDecay = seconds - attack;
    if (decay <= 0.0 || intoDecay >= decay) return static_cast<float>(sustain);
    const double fall = (std::exp(-kDecayDepth * intoDecay / decay) - std::exp(-kDecayDepth)) / (1.0 - std::exp(-kDecayDepth));
    return static_cast<float>(sustain + (1.0 - sustain) * fall);
}

float Envelope::Decay(double seconds, double tau)
{
    return tau <= 0.0 ? 0.0f : static_cast<float>(std::exp(-seconds / tau));
}
