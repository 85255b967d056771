#pragma once

// An amplitude shape over time in seconds: a rise over attack, a fall over decay to the sustain
// level, then held. The rise is a quarter sine and the fall exponential-looking, so that neither
// end has a corner that clicks.
struct Envelope {
    double attack = 0.005;  // s
    double decay = 0.1;     // s
    double sustain = 1.0;   // 0..1

    float At(double seconds) const;

    // exp(-seconds / tau): the free decay of struck and plucked sounds.
    static float Decay(double seconds, double tau);
};
