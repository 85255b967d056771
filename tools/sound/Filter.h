#pragma once

// A state-variable filter (trapezoidal integration, stable at any cutoff below half the rate):
// one call gives the low-, band- and high-pass outputs of the same input.
struct Filter {
    struct Output {
        float low;
        float band;
        float high;
    };

    // resonance 0..1: 0 is gentle (Q 0.5), near 1 rings.
    Output Process(float input, double cutoffHz, double resonance);

    float LowPass(float input, double cutoffHz, double resonance) { return Process(input, cutoffHz, resonance).low; }
    float HighPass(float input, double cutoffHz, double resonance) { return Process(input, cutoffHz, resonance).high; }
    float BandPass(float input, double cutoffHz, double resonance) { return Process(input, cutoffHz, resonance).band; }

private:
    double state1_ = 0.0;
    double state2_ = 0.0;
};
