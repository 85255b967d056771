#include "tools/harntool/Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <iterator>

#include "tools/harntool/PngFile.h"

namespace {

constexpr int kFftSize = 4096;
constexpr int kFramesPerColumn = 4;      // FFT frames averaged into one column
constexpr int kSpectrumHeight = 240;     // px
constexpr int kLevelHeight = 90;         // px
constexpr int kOrderHeight = 18;         // px
constexpr int kTickHeight = 6;           // px
constexpr int kGap = 2;                  // px between the bands
constexpr double kLowHz = 40.0;
constexpr double kHighHz = 16000.0;
constexpr double kSpectrumFloorDb = -125.0;
constexpr double kSpectrumTopDb = -20.0;
constexpr double kLevelFloorDb = -36.0;
constexpr double kGridStepDb = 6.0;
constexpr double kShadeStepDb = 2.5;     // the spectrogram's brightness comes in steps, which keeps the file small
constexpr double kTickSeconds = 10.0;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    uint8_t r, g, b;
};

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), rgba_(static_cast<size_t>(width) * height * 4, 0)
    {
        for (size_t i = 3; i < rgba_.size(); i += 4) rgba_[i] = 255;
    }
    void Put(int x, int y, Rgb colour)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        uint8_t* at = &rgba_[(static_cast<size_t>(y) * width_ + x) * 4];
        at[0] = colour.r;
        at[1] = colour.g;
        at[2] = colour.b;
    }
    const std::vector<uint8_t>& Pixels() const { return rgba_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    std::vector<uint8_t> rgba_;
};

void Fft(std::vector<std::complex<double>>& data)
{
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * kPi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> turn = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * turn;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                turn *= step;
            }
        }
    }
}

// Black through deep blue, magenta and orange to pale yellow as t goes from 0 to 1: a ramp of
// steadily rising brightness, so that level reads as lightness.
Rgb Heat(double t)
{
    struct Stop {
        double at;
        double r, g, b;
    };
    static constexpr Stop kStops[] = {{0.0, 0, 0, 4}, {0.25, 40, 11, 84}, {0.5, 140, 40, 110}, {0.7, 220, 80, 60},
                                      {0.85, 250, 160, 30}, {1.0, 252, 250, 180}};
    t = std::clamp(t, 0.0, 1.0);
    size_t i = 1;
    while (i + 1 < std::size(kStops) && kStops[i].at < t) ++i;
    const Stop& a = kStops[i - 1];
    const Stop& b = kStops[i];
    const double f = (t - a.at) / (b.at - a.at);
    return {static_cast<uint8_t>(a.r + f * (b.r - a.r)), static_cast<uint8_t>(a.g + f * (b.g - a.g)),
            static_cast<uint8_t>(a.b + f * (b.b - a.b))};
}

// A distinct colour for each order number.
Rgb OrderColour(int order)
{
    if (order < 0) return {40, 40, 40};
    const double hue = std::fmod(order * 0.618033988749895, 1.0) * 6.0;
    const double x = 1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0);
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue)) {
    case 0: r = 1; g = x; break;
    case 1: r = x; g = 1; break;
    case 2: g = 1; b = x; break;
    case 3: g = x; b = 1; break;
    case 4: r = x; b = 1; break;
    default: r = 1; b = x; break;
    }
    return {static_cast<uint8_t>(60 + 150 * r), static_cast<uint8_t>(60 + 150 * g), static_cast<uint8_t>(60 + 150 * b)};
}

double MonoAt(const std::vector<int16_t>& stereo, size_t frame)
{
    return (stereo[2 * frame] + stereo[2 * frame + 1]) / (2.0 * 32768.0);
}

// Power spectrum (kFftSize / 2 bins) averaged over frames spread across [begin, end).
std::vector<double> ColumnSpectrum(const std::vector<int16_t>& stereo, size_t begin, size_t end, const std::vector<double>& window)
{
    const size_t frames = stereo.size() / 2;
    std::vector<double> power(kFftSize / 2, 0.0);
    std::vector<std::complex<double>> data(kFftSize);
    for (int f = 0; f < kFramesPerColumn; ++f) {
        const size_t centre = begin + (end - begin) * (2 * static_cast<size_t>(f) + 1) / (2 * kFramesPerColumn);
        const long start = static_cast<long>(centre) - kFftSize / 2;
        for (int i = 0; i < kFftSize; ++i) {
            const long at = start + i;
            const double value = at >= 0 && static_cast<size_t>(at) < frames ? MonoAt(stereo, static_cast<size_t>(at)) : 0.0;
            data[static_cast<size_t>(i)] = value * window[static_cast<size_t>(i)];
        }
        Fft(data);
        for (size_t k = 0; k < power.size(); ++k) power[k] += std::norm(data[k]) / kFramesPerColumn;
    }
    return power;
}

void DrawSpectrumColumn(Canvas& canvas, int x, const std::vector<double>& power, int rate, double windowGain)
{
    const double binHz = static_cast<double>(rate) / kFftSize;
    for (int y = 0; y < kSpectrumHeight; ++y) {
        const double low = kLowHz * std::pow(kHighHz / kLowHz, static_cast<double>(kSpectrumHeight - 1 - y) / kSpectrumHeight);
        const double high = kLowHz * std::pow(kHighHz / kLowHz, static_cast<double>(kSpectrumHeight - y) / kSpectrumHeight);
        const size_t first = std::min(power.size() - 1, static_cast<size_t>(low / binHz));
        const size_t last = std::min(power.size() - 1, std::max(first, static_cast<size_t>(high / binHz)));
        double sum = 0.0;
        for (size_t k = first; k <= last; ++k) sum += power[k];
        const double amplitude = 2.0 * std::sqrt(sum / static_cast<double>(last - first + 1)) / windowGain;
        const double db = kShadeStepDb * std::round(20.0 * std::log10(std::max(amplitude, 1e-12)) / kShadeStepDb);
        canvas.Put(x, y, Heat((db - kSpectrumFloorDb) / (kSpectrumTopDb - kSpectrumFloorDb)));
    }
}

int LevelY(double db, int top)
{
    const double t = std::clamp((db - kLevelFloorDb) / -kLevelFloorDb, 0.0, 1.0);
    return top + kLevelHeight - 1 - static_cast<int>(t * (kLevelHeight - 1));
}

void DrawLevelColumn(Canvas& canvas, int x, const std::vector<int16_t>& stereo, size_t begin, size_t end, int top)
{
    double squares = 0.0;
    int peak = 0;
    for (size_t i = 2 * begin; i < 2 * end; ++i) {
        squares += static_cast<double>(stereo[i]) * stereo[i];
        peak = std::max(peak, std::abs(static_cast<int>(stereo[i])));
    }
    const double count = std::max<double>(1.0, 2.0 * static_cast<double>(end - begin));
    const double rmsDb = 20.0 * std::log10(std::max(std::sqrt(squares / count), 1.0) / 32768.0);
    const double peakDb = 20.0 * std::log10(std::max(peak, 1) / 32768.0);
    for (int y = top; y < top + kLevelHeight; ++y) canvas.Put(x, y, {16, 16, 24});
    for (double db = 0.0; db >= kLevelFloorDb; db -= kGridStepDb) canvas.Put(x, LevelY(db, top), {70, 70, 90});
    for (int y = LevelY(rmsDb, top); y < top + kLevelHeight; ++y) canvas.Put(x, y, {70, 150, 230});
    canvas.Put(x, LevelY(peakDb, top), peak >= 32767 ? Rgb{255, 40, 40} : Rgb{240, 240, 200});
}

}  // namespace

bool WriteMusicPicture(const std::string& path, const MusicPicture& music, int width)
{
    if (music.stereo == nullptr || music.stereo->size() < 2 || width <= 0 || music.rate <= 0) return false;
    const std::vector<int16_t>& stereo = *music.stereo;
    const size_t frames = stereo.size() / 2;
    width = static_cast<int>(std::min<size_t>(static_cast<size_t>(width), frames));
    const int levelTop = kSpectrumHeight + kGap;
    const int orderTop = levelTop + kLevelHeight + kGap;
    Canvas canvas(width, orderTop + kOrderHeight + kTickHeight);

    std::vector<double> window(kFftSize);
    double windowGain = 0.0;
    for (int i = 0; i < kFftSize; ++i) {
        window[static_cast<size_t>(i)] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / (kFftSize - 1));
        windowGain += window[static_cast<size_t>(i)];
    }
    const double seconds = static_cast<double>(frames) / music.rate;
    for (int x = 0; x < width; ++x) {
        const size_t begin = frames * static_cast<size_t>(x) / static_cast<size_t>(width);
        const size_t end = std::max(begin + 1, frames * static_cast<size_t>(x + 1) / static_cast<size_t>(width));
        DrawSpectrumColumn(canvas, x, ColumnSpectrum(stereo, begin, end, window), music.rate, windowGain);
        DrawLevelColumn(canvas, x, stereo, begin, end, levelTop);
        const double t = seconds * (x + 0.5) / width;
        const size_t step = static_cast<size_t>(t / MusicPicture::kOrderStep);
        const int order = step < music.orders.size() ? music.orders[step] : -1;
        for (int y = orderTop; y < orderTop + kOrderHeight; ++y) canvas.Put(x, y, OrderColour(order));
        const bool tick = static_cast<int>(seconds * x / width / kTickSeconds) != static_cast<int>(seconds * (x + 1) / width / kTickSeconds);
        if (tick) {
            for (int y = orderTop + kOrderHeight; y < canvas.Height(); ++y) canvas.Put(x, y, {230, 230, 230});
        }
    }
    return WritePng(path, width, canvas.Height(), canvas.Pixels());
}
