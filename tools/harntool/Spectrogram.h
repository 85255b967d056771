#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture of a stretch of music, time running left to right: on top a spectrogram (log
// frequency from 40 Hz at the bottom to 16 kHz, brightness by level), below it the level over
// time (RMS filled, peak as a line, grid lines every 6 dB down to -36 dB), at the bottom a
// strip coloured by the order that played, with a tick every 10 seconds under it.
struct MusicPicture {
    const std::vector<int16_t>* stereo = nullptr;  // interleaved frames
    int rate = 44100;
    std::vector<int> orders;   // the order playing, every kOrderStep seconds
    static constexpr double kOrderStep = 0.1;  // s
};

// False when there is nothing to draw or the file cannot be written.
bool WriteMusicPicture(const std::string& path, const MusicPicture& music, int width);
