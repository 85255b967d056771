#include "tools/content/interface/Mask.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBoxPasses = 3;  // three box blurs come within a few per cent of a Gaussian

// Radii of the kBoxPasses boxes whose repeated blur has the given standard deviation.
std::vector<int> BoxRadii(float sigma)
{
    const double variance = static_cast<double>(sigma) * sigma;
    int lower = static_cast<int>(std::floor(std::sqrt(12.0 * variance / kBoxPasses + 1.0)));
    if (lower % 2 == 0) --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double split = (12.0 * variance - kBoxPasses * lower * lower - 4.0 * kBoxPasses * lower - 3.0 * kBoxPasses) /
                         (-4.0 * lower - 4.0);
    const int lowerCount = static_cast<int>(std::floor(split + 0.5));
    std::vector<int> radii;
    for (int pass = 0; pass < kBoxPasses; ++pass) radii.push_back(((pass < lowerCount ? lower : upper) - 1) / 2);
    return radii;
}

// A box average of radius r along a row of count values, in place; outside the row counts as 0.
void BoxRow(float* row, int count, int radius, std::vector<double>& scratch)
{
    scratch.assign(row, row + count);
    const double scale = 1.0 / (2 * radius + 1);
    double sum = 0.0;
    for (int i = 0; i <= std::min(radius, count - 1); ++i) sum += scratch[static_cast<size_t>(i)];
    for (int i = 0; i < count; ++i) {
        row[i] = static_cast<float>(sum * scale);
        const int enter = i + radius + 1;
        const int leave = i - radius;
        if (enter < count) sum += scratch[static_cast<size_t>(enter)];
        if (leave >= 0) sum -= scratch[static_cast<size_t>(leave)];
    }
}

// The same down the columns of a block of rows (width values apart, stride between rows), a row
// at a time so that memory is read in order.
void BoxColumns(float* block, int width, int rows, int stride, int radius, std::vector<double>& sums, std::vector<float>& copy)
{
    copy.assign(block, block + static_cast<size_t>(rows - 1) * stride + width);
    sums.assign(static_cast<size_t>(width), 0.0);
    const double scale = 1.0 / (2 * radius + 1);
    const auto row = [&](int y) { return &copy[static_cast<size_t>(y) * stride]; };
    for (int y = 0; y <= std::min(radius, rows - 1); ++y) {
        for (int x = 0; x < width; ++x) sums[static_cast<size_t>(x)] += row(y)[x];
    }
    for (int y = 0; y < rows; ++y) {
        float* out = block + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) out[x] = static_cast<float>(sums[static_cast<size_t>(x)] * scale);
        const int enter = y + radius + 1;
        const int leave = y - radius;
        if (enter < rows) {
            for (int x = 0; x < width; ++x) sums[static_cast<size_t>(x)] += row(enter)[x];
        }
        if (leave >= 0) {
            for (int x = 0; x < width; ++x) sums[static_cast<size_t>(x)] -= row(leave)[x];
        }
    }
}

}  // namespace

Mask::Mask(int width, int height, float fill)
    : width_(width), height_(height), values_(static_cast<size_t>(width) * static_cast<size_t>(height), fill)
{
}

float Mask::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0.0f;
    return values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Mask::Set(int x, int y, float value)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    values_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = value;
}

void Mask::Accumulate(int x, int y, float value) { Set(x, y, At(x, y) + value); }

Mask Mask::Blurred(float sigma) const
{
    Mask out = *this;
    int box[4];
    if (sigma <= 0.0f || !Support(box)) return out;
    // Only the neighbourhood of what is there can change: the boxes reach no further than the
    // sum of their radii.
    const std::vector<int> radii = BoxRadii(sigma);
    int reach = 0;
    for (int radius : radii) reach += radius;
    const int x0 = std::max(0, box[0] - reach);
    const int y0 = std::max(0, box[1] - reach);
    const int x1 = std::min(width_ - 1, box[2] + reach);
    const int y1 = std::min(height_ - 1, box[3] + reach);
    float* origin = &out.values_[static_cast<size_t>(y0) * width_ + x0];
    std::vector<double> scratch;
    std::vector<float> copy;
    for (int radius : radii) {
        for (int y = 0; y <= y1 - y0; ++y) BoxRow(origin + static_cast<size_t>(y) * width_, x1 - x0 + 1, radius, scratch);
        BoxColumns(origin, x1 - x0 + 1, y1 - y0 + 1, width_, radius, scratch, copy);
    }
    return out;
}

Mask Mask::Scaled(float factor, bool clamp) const
{
    Mask out = *this;
    for (float& v : out.values_) {
        v *= factor;
        if (clamp) v = std::clamp(v, 0.0f, 1.0f);
    }
    return out;
}

Mask Mask::Shifted(int dx, int dy) const
{
    Mask out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) out.Set(x, y, At(x - dx, y - dy));
    }
    return out;
}

Mask Mask::Times(const Mask& other) const
{
    Mask out = *this;
    for (size_t i = 0; i < out.values_.size() && i < other.values_.size(); ++i) out.values_[i] *= other.values_[i];
    return out;
}

Mask Mask::Minus(const Mask& other) const
{
    Mask out = *this;
    for (size_t i = 0; i < out.values_.size() && i < other.values_.size(); ++i) {
        out.values_[i] = std::max(out.values_[i] - other.values_[i], 0.0f);
    }
    return out;
}

Mask Mask::Max(const Mask& other) const
{
    Mask out = *this;
    for (size_t i = 0; i < out.values_.size() && i < other.values_.size(); ++i) {
        out.values_[i] = std::max(out.values_[i], other.values_[i]);
    }
    return out;
}

Mask Mask::Relief(float lightX, float lightY, float strength) const
{
    const float length = std::sqrt(lightX * lightX + lightY * lightY);
    const float lx = length > 0.0f ? lightX / length : 0.0f;
    const float ly = length > 0.0f ? lightY / length : 0.0f;
    Mask out(width_, height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            // The height rises towards the inside of a shape, so a slope lit from (lx, ly) is one
            // whose height grows away from the light.
            const float gx = 0.5f * (At(x + 1, y) - At(x - 1, y));
            const float gy = 0.5f * (At(x, y + 1) - At(x, y - 1));
            out.Set(x, y, -(gx * lx + gy * ly) * strength);
        }
    }
    return out;
}

bool Mask::Bounds(float threshold, int box[4]) const
{
    return BoxOf([threshold](float v) { return v > threshold; }, box);
}

bool Mask::Support(int box[4]) const
{
    return BoxOf([](float v) { return v != 0.0f; }, box);
}

template <typename Test>
bool Mask::BoxOf(Test test, int box[4]) const
{
    box[0] = width_;
    box[1] = height_;
    box[2] = -1;
    box[3] = -1;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (!test(At(x, y))) continue;
            box[0] = std::min(box[0], x);
            box[1] = std::min(box[1], y);
            box[2] = std::max(box[2], x);
            box[3] = std::max(box[3], y);
        }
    }
    return box[2] >= 0;
}
