#pragma once

// One band-limited oscillator: a phase in cycles that each call advances by freq / kSampleRate.
// Saw and square have their steps smoothed (polynomial band limiting) so that high notes do not
// alias into hiss.
struct Oscillator {
    double phase = 0.0;  // 0..1

    explicit Oscillator(double startPhase = 0.0) : phase(startPhase) {}

    float Sine(double freq);
    float Saw(double freq);
    // width: the part of the cycle spent high, 0.5 for a square.
    float Pulse(double freq, double width);
    float Triangle(double freq);

private:
    double Advance(double freq);
};
