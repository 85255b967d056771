#include "tools/sound/LevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kFullScale = 32768.0;
constexpr double kFloorDb = -120.0;

}  // namespace

LevelMeter::LevelMeter(int rate)
    : rate_(rate), windowFrames_(std::max<size_t>(1, static_cast<size_t>(rate * kWindowSeconds)))
{
}

void LevelMeter::Add(const int16_t* frames, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        for (int side = 0; side < 2; ++side) {
            const int value = frames[2 * i + static_cast<size_t>(side)];
            peak_ = std::max(peak_, std::abs(value));
            const double square = static_cast<double>(value) * value;
            sumSquares_ += square;
            windowSquares_ += square;
        }
        if (++windowFill_ == windowFrames_) CloseWindow();
    }
    frames_ += count;
}

void LevelMeter::CloseWindow()
{
    const double rms = std::sqrt(windowSquares_ / (2.0 * static_cast<double>(windowFill_)));
    silentWindows_ = ToDb(rms) < kSilenceDb ? silentWindows_ + 1 : 0;
    longestSilentWindows_ = std::max(longestSilentWindows_, silentWindows_);
    windowSquares_ = 0.0;
    windowFill_ = 0;
}

double LevelMeter::PeakDb() const
{
    return ToDb(peak_);
}

double LevelMeter::RmsDb() const
{
    return frames_ == 0 ? kFloorDb : ToDb(std::sqrt(sumSquares_ / (2.0 * static_cast<double>(frames_))));
}

double LevelMeter::LongestSilence() const
{
    return static_cast<double>(longestSilentWindows_ * windowFrames_) / rate_;
}

double LevelMeter::Seconds() const
{
    return static_cast<double>(frames_) / rate_;
}

double LevelMeter::ToDb(double magnitude)
{
    return magnitude <= 0.0 ? kFloorDb : std::max(kFloorDb, 20.0 * std::log10(magnitude / kFullScale));
}
