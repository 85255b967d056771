#include "tools/sound/Filter.h"

#include <algorithm>
#include <cmath>

#include "tools/sound/Sound.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowestHz = 10.0;
constexpr double kHighestShare = 0.45;  // of the sample rate

}  // namespace

Filter::Output Filter::Process(float input, double cutoffHz, double resonance)
{
    const double cutoff = std::clamp(cutoffHz, kLowestHz, kHighestShare * Sound::kSampleRate);
    const double g = std::tan(kPi * cutoff / Sound::kSampleRate);
    const double k = 2.0 - 1.95 * std::clamp(resonance, 0.0, 1.0);  // 1/Q
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - state2_;
    const double v1 = a1 * state1_ + a2 * v3;
    const double v2 = state2_ + a2 * state1_ + a3 * v3;
    state1_ = 2.0 * v1 - state1_;
    state2_ = 2.0 * v2 - state2_;
    const double high = input - k * v1 - v2;
    return Output{static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(high)};
}
