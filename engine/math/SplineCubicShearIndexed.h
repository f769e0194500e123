#pragma once

#include "engine/math/SplineCubicShear.h"

#include <cstdint>
#include <vector>

namespace AudioEngine::AudioMath {

// A sheared spline (natural ends, uneven knots) whose segment search starts
// from a bucket index: the knots' range is cut into even buckets, each
// remembering the few segments an input in it can fall in, so a look-up
// halves over those few rather than over all N knots. A serial loop that
// looks the spline up once a sample (a junction inside a feedback path)
// waits for each search; log2(N) dependent loads become one or two.
//
// evaluate gives exactly what SplineCubicShear::evaluate gives: the segment
// found is the same unique i with x_i <= x < x_i+1, checked against its two
// knots (an input whose bucket rounding put it next door falls back to the
// full search). Construction allocates; evaluation does not.
template <class CurveT> class SplineCubicShearIndexed : public SplineCubicShear<CurveT> {
public:
    using Base = SplineCubicShear<CurveT>;
    using Value = typename Base::Value;

    explicit SplineCubicShearIndexed(Value k) : Base(k) { buildIndex(); }

    [[gnu::always_inline]] Value evaluate(Value x) const noexcept
    {
        if (!(this->getXFirst() < x && x < this->getXLast()))
            return Base::evaluate(x);
        return this->evaluateInside(findIndexed(x), x);
    }

    // The segment of an x strictly inside the knots.
    [[gnu::always_inline]] std::int32_t findIndexed(Value x) const noexcept
    {
        const auto* knots = this->getKnots().data();
        auto b = static_cast<std::int32_t>((static_cast<double>(x) - first_) * scale_);
        b = b < 0 ? 0 : (b > lastBucket_ ? lastBucket_ : b);
        const Bucket bucket = buckets_[static_cast<std::size_t>(b)];
        std::int32_t lo = bucket.start;
        std::int32_t span = bucket.span;
        while (span > 1) {
            const std::int32_t half = span >> 1;
            lo = knots[lo + half].x <= x ? lo + half : lo;
            span -= half;
        }
        if (!(knots[lo].x <= x && x < knots[lo + 1].x))
            return this->findSegment(x);
        return lo;
    }

private:
    // Segments start .. start + span - 1 hold every input of the bucket.
    struct Bucket {
        std::int32_t start;
        std::int32_t span;
    };

    void buildIndex()
    {
        const std::int32_t last = this->getLastSegment();
        const std::size_t count = 2 * this->getKnots().size();
        first_ = static_cast<double>(this->getXFirst());
        scale_ = static_cast<double>(count) / (static_cast<double>(this->getXLast()) - first_);
        lastBucket_ = static_cast<std::int32_t>(count) - 1;
        buckets_.resize(count);
        auto segmentAt = [&](double edge) {
            return this->findSegment(static_cast<Value>(first_ + edge / scale_));
        };
        for (std::size_t b = 0; b < count; ++b) {
            // One segment of margin each way for the rounding of the edges.
            std::int32_t lo = segmentAt(static_cast<double>(b)) - 1;
            std::int32_t hi = segmentAt(static_cast<double>(b + 1)) + 1;
            lo = lo < 0 ? 0 : lo;
            hi = hi > last ? last : hi;
            buckets_[b] = Bucket{lo, hi - lo + 1};
        }
    }

    double first_ = 0.0;
    double scale_ = 0.0;
    std::int32_t lastBucket_ = 0;
    std::vector<Bucket> buckets_;
};

} // namespace AudioEngine::AudioMath
