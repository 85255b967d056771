#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A synthesised mono sound, as floats in -1..1, and the pitch it was made at (a drum's pitch is
// nominal: it sounds as made when played at C-5). The kit makes everything at kSampleRate; a
// dark sound may then be stored at a fraction of it.
// A looped sound repeats [loopBegin, loopEnd) while its note is held (sustain) or for ever.
struct Sound {
    static constexpr int kSampleRate = 44100;  // Hz, for everything the kit makes
    static constexpr int kMiddleC = 60;        // the tracker's C-5, 261.63 Hz

    enum class Loop { None, Sustain, Forever };

    std::vector<float> samples;
    int rate = kSampleRate;  // Hz
    double pitchHz = NoteHz(kMiddleC);
    Loop loop = Loop::None;
    size_t loopBegin = 0;
    size_t loopEnd = 0;

    static double NoteHz(double note);
    static size_t Frames(double seconds);

    // Playback rate of C-5 that makes the sound play at its own pitch for the note whose
    // frequency is pitchHz.
    int C5Speed() const;

    // The length of a loop near seconds long that holds a whole number of cycles at hz (to the
    // nearest frame), so that a steady tone passes the loop point in phase.
    static size_t WholeCycleFrames(double hz, double seconds);

    // Turns a sound rendered up to where its loop should end into one that holds
    // [loopBegin, end) while the note is down and then fades out over releaseFrames.
    void HoldFrom(size_t begin, size_t releaseFrames, size_t fadeFrames, bool periodic);

    // Keeps every factor-th frame (2 or 4) after a low-pass under the new half rate; loop points
    // follow. Anything else, or a sound already downsampled, is left alone.
    void Downsample(int factor);

    // Scales the sound so that its largest magnitude is peak.
    void Normalise(float peak);
    // Makes the jump from loopEnd back to loopBegin seamless: the last fadeFrames of the loop
    // blend into the frames that lead up to loopBegin. A periodic sound whose loop holds whole
    // cycles blends linearly; anything else (detuned voices, noise) with equal power, so that
    // the level does not dip where unrelated phases meet. Add a release tail first.
    void SealLoop(size_t fadeFrames, bool periodic);
    // Appends a release after loopEnd (where the sound must end now): the frames that follow
    // loopBegin, as if the loop had gone round once more, fading to silence over frames.
    void AddReleaseTail(size_t frames);
    // Brings the first frames up from silence, so that a sound that starts on a strike does not
    // start on a step.
    void FadeIn(size_t frames);
    // Brings the last frames down to silence so that a one-shot sound ends without a click.
    void FadeOut(size_t frames);
    // 16-bit samples, rounded and clipped.
    std::vector<int16_t> Pcm16() const;
};
