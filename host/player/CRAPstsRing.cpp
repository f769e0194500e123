#include "host/player/CRAPstsRing.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

// The anti-aliasing low-pass is a 12th-order Butterworth.
constexpr int kAntiAliasingOrder = 12;

std::int64_t powerOfTwoAtLeast(std::int64_t n)
{
    std::int64_t size = 1;
    while (size < n)
        size *= 2;
    return size;
}

} // namespace

CRAPstsRing::CRAPstsRing(int capacity, int maxRead)
    : data_(static_cast<std::size_t>(powerOfTwoAtLeast(capacity))),
      mask_(static_cast<std::int64_t>(data_.size()) - 1),
      linear_(static_cast<std::size_t>(maxRead) + 8),
      lowPass_(CHOFilterASO::create(kAntiAliasingOrder))
{
    lowPass_->setFormat(1, 44100.0f);
}

void CRAPstsRing::clear()
{
    std::fill(data_.begin(), data_.end(), 0.0f);
    write_ = 0;
    readInt_ = 0;
    frac_ = 0.0;
    live_ = -1;
    filtered_ = -1;
    lowPass_->reset();
}

void CRAPstsRing::setAntiAliasing(bool on, double x)
{
    antiAliasing_ = on;
    if (on)
        lowPass_->setLowPass(x);
    lowPass_->reset();
}

void CRAPstsRing::addGrain(const float* grain, int rise, int n)
{
    const std::int64_t start = write_ - rise;
    // The first grain after a seek reaches back before the read position:
    // that half is never read, so it is left out instead of wrapping round.
    const int skip = static_cast<int>(std::clamp<std::int64_t>(live_ - start, 0, n));
    // In at most two runs: up to the storage's end, then from its start.
    std::int64_t i = skip;
    while (i < n) {
        const auto to = static_cast<std::size_t>((start + i) & mask_);
        const std::int64_t run = std::min<std::int64_t>(n - i, std::int64_t(data_.size() - to));
        float* d = data_.data() + to;
        const float* g = grain + i;
        for (std::int64_t k = 0; k < run; ++k)
            d[k] += g[k];
        i += run;
    }
    write_ += spacing_;
}

void CRAPstsRing::zero(std::int64_t from, std::int64_t to)
{
    while (from < to) {
        const auto at0 = static_cast<std::size_t>(from & mask_);
        const std::int64_t run =
            std::min<std::int64_t>(to - from, std::int64_t(data_.size() - at0));
        std::fill(data_.begin() + static_cast<std::ptrdiff_t>(at0),
                  data_.begin() + static_cast<std::ptrdiff_t>(at0 + static_cast<std::size_t>(run)),
                  0.0f);
        from += run;
    }
}

void CRAPstsRing::read(float* out, int frames)
{
    if (frames <= 0)
        return;
    // Ring samples read: readInt - 1 .. last + 2 for Catmull-Rom.
    const double span = frac_ + frames * step_;
    const std::int64_t first = readInt_ - 1;
    const std::int64_t end = readInt_ + static_cast<std::int64_t>(std::floor(span)) + 3;
    if (antiAliasing_) {
        // Each ring sample passes the filter once, when it is final.
        for (std::int64_t p = std::max(filtered_, first); p < end; ++p)
            lowPass_->process(&at(p), 1);
        filtered_ = std::max(filtered_, end);
    }
    const auto count = static_cast<std::size_t>(end - first);
    const auto at0 = static_cast<std::size_t>(first & mask_);
    // Read in place unless the span wraps round the storage's end.
    const float* linear = data_.data() + at0;
    if (at0 + count > data_.size()) {
        for (std::size_t i = 0; i < count && i < linear_.size(); ++i)
            linear_[i] = at(first + static_cast<std::int64_t>(i));
        linear = linear_.data();
    }

    std::int64_t index = 1; // readInt_ within linear
    double frac = frac_;
    const double step = step_;
    for (int j = 0; j < frames; ++j) {
        const float* p = linear + index - 1;
        const float t = static_cast<float>(frac);
        const float p0 = p[0], p1 = p[1], p2 = p[2], p3 = p[3];
        out[j] = p1 + t * ((p2 - p0) * 0.5f + t * ((p0 - 2.5f * p1 + 2.0f * p2 - 0.5f * p3) +
                                                   t * ((p1 - p2) * 1.5f + (p3 - p0) * 0.5f)));
        frac += step;
        // frac stays non-negative: truncation is its floor, without a libm call.
        const auto whole = static_cast<std::int64_t>(frac);
        index += whole;
        frac -= static_cast<double>(whole);
    }
    readInt_ += index - 1;
    frac_ = frac;
    // Consumed samples are zeroed for the grains that wrap onto them later.
    zero(live_, readInt_ - 1);
    live_ = std::max(live_, readInt_ - 1);
}

} // namespace player
