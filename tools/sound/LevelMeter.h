#pragma once

#include <cstddef>
#include <cstdint>

// Measures a stream of 16-bit stereo frames: the peak, the loudness (RMS over everything), and
// the longest stretch of silence, judged in short windows so that the quiet moments inside a
// note do not count.
class LevelMeter {
public:
    static constexpr double kWindowSeconds = 0.01;
    static constexpr double kSilenceDb = -60.0;  // a window quieter than this is silent

    explicit LevelMeter(int rate);

    void Add(const int16_t* frames, size_t count);

    int Peak() const { return peak_; }  // 0..32768
    bool Clipped() const { return peak_ >= 32767; }
    double PeakDb() const;
    double RmsDb() const;
    double LongestSilence() const;  // s
    double Seconds() const;

    // Decibels relative to full scale (32768); very small values floor at -120.
    static double ToDb(double magnitude);

private:
    void CloseWindow();

    int rate_;
    size_t windowFrames_;
    size_t frames_ = 0;
    int peak_ = 0;
    double sumSquares_ = 0.0;
    double windowSquares_ = 0.0;
    size_t windowFill_ = 0;
    size_t silentWindows_ = 0;
    size_t longestSilentWindows_ = 0;
};
