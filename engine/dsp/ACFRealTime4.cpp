#include "engine/dsp/ACFRealTime4.h"

#include "engine/core/Denormal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace dsp::Domain::ACF {
namespace {

// Where each stage of the analysis ends, in sixteenths of the next frame's fill. The two
// transforms cost about the same; the magnitudes and the lag search are short loops.
constexpr int kForwardEnd = 7;
constexpr int kMagnitudeEnd = 8;
constexpr int kInverseEnd = 15;

// Work due at the fill position: none before begin, all of it from end on, in proportion between.
int due(int fill, int begin, int end, int units)
{
    if (fill <= begin)
        return 0;
    if (fill >= end)
        return units;
    return static_cast<int>(std::int64_t(fill - begin) * units / (end - begin));
}

} // namespace

ACFRealTime4::ACFRealTime4()
{
    setup(100, 5);
}

float ACFRealTime4::lagWeight(int k, int N)
{
    const double c = std::cos(2.0 * std::numbers::pi * k / (1.12 * N));
    return static_cast<float>(1.0 / (0.5 * (c + 1.0)));
}

void ACFRealTime4::setup(int maxPeriod, int minLag)
{
    maxPeriod = std::max(maxPeriod, 8);
    int N = 16;
    while (N < 2 * maxPeriod)
        N *= 2;
    size_ = N;
    minLag_ = std::max(minLag, 1);
    maxLag_ = maxPeriod - 2;

    forward_.configure(N, +1);
    inverse_.configure(N, -1);
    acfer_.setSize(N);
    frameA_.assign(static_cast<std::size_t>(N), 0.0f);
    frameB_.assign(static_cast<std::size_t>(N), 0.0f);
    filling_ = frameA_.data();
    work_ = frameB_.data();

    window_.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i)
        window_[i] = static_cast<float>((0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / N)) / N);
    lagWeights_.resize(static_cast<std::size_t>(N / 2));
    for (int k = 0; k < N / 2; ++k)
        lagWeights_[k] = lagWeight(k, N);

    fill_ = 0;
    stage_ = Stage::Idle;
    period_ = 100.0f;
    clarity_ = 0.0f;
    energy_ = 0.0f;
}

bool ACFRealTime4::process(const float* samples, int count)
{
    published_ = false;
    while (count > 0) {
        const int take = std::min(count, size_ - fill_);
        const float* w = window_.data() + fill_;
        float* frame = filling_ + fill_;
        // The window's ends are near 1e-10: a faint sample times that would be subnormal.
        for (int i = 0; i < take; ++i)
            frame[i] = AudioEngine::flushedDenormal(samples[i] * w[i]);
        fill_ += take;
        samples += take;
        count -= take;
        if (fill_ == size_)
            completeFrame();
    }
    advance(fill_);
    return published_;
}

void ACFRealTime4::completeFrame()
{
    advance(size_);
    std::swap(filling_, work_);
    fill_ = 0;
    forward_.startFrame(work_);
    acfer_.startFrame();
    stage_ = Stage::Forward;
}

void ACFRealTime4::advance(int fill)
{
    const int N = size_;
    const int sixteenth = N / 16;
    if (stage_ == Stage::Forward) {
        if (!forward_.advance(due(fill, 0, kForwardEnd * sixteenth, N)))
            return;
        stage_ = Stage::Magnitude;
        binsDone_ = 0;
    }
    if (stage_ == Stage::Magnitude) {
        const int bins = due(fill, kForwardEnd * sixteenth, kMagnitudeEnd * sixteenth, N / 2);
        if (bins > binsDone_) {
            acfer_.processBins(work_, binsDone_, bins);
            binsDone_ = bins;
        }
        if (binsDone_ < N / 2)
            return;
        acfer_.finishFrame(work_);
        inverse_.startFrame(work_);
        stage_ = Stage::Inverse;
    }
    if (stage_ == Stage::Inverse) {
        if (!inverse_.advance(due(fill, kMagnitudeEnd * sixteenth, kInverseEnd * sixteenth, N)))
            return;
        stage_ = Stage::Search;
        nextLag_ = minLag_;
        best_ = 0.0f;
        bestLag_ = 0;
    }
    if (stage_ == Stage::Search) {
        const int lags = std::max(0, maxLag_ - minLag_ + 1);
        const int end = minLag_ + due(fill, kInverseEnd * sixteenth, N, lags);
        if (end > nextLag_) {
            searchLags(nextLag_, end);
            nextLag_ = end;
        }
        if (nextLag_ - minLag_ < lags)
            return;
        publish();
        stage_ = Stage::Idle;
    }
}

void ACFRealTime4::searchLags(int firstLag, int endLag)
{
    // A lag is a candidate when its weighted value beats both neighbours' and the best so far
    // (which starts at 0): of equal maxima the first stays.
    float best = best_;
    int bestLag = bestLag_;
    float previous = weighted(firstLag - 1);
    float current = weighted(firstLag);
    for (int k = firstLag; k < endLag; ++k) {
        const float next = weighted(k + 1);
        if (current > previous && current > next && current > best) {
            best = current;
            bestLag = k;
        }
        previous = current;
        current = next;
    }
    best_ = best;
    bestLag_ = bestLag;
}

void ACFRealTime4::publish()
{
    const float r0 = work_[0];
    energy_ = 2.0f * r0;
    published_ = true;
    if (bestLag_ == 0 || !(r0 > 0.0f)) {
        clarity_ = 0.0f;
        return;
    }
    clarity_ = best_ / r0;
    // The vertex of the parabola through the weighted peak and its neighbours: the same function
    // the peak was found on, so the vertex lies within half a lag of it.
    const int k = bestLag_;
    const float left = weighted(k - 1);
    const float right = weighted(k + 1);
    const float a = 0.5f * (left + right) - best_;
    period_ = static_cast<float>(k) + (a < 0.0f ? (left - right) / (4.0f * a) : 0.0f);
}

} // namespace dsp::Domain::ACF
