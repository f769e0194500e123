#pragma once

#include "engine/math/SplineCubicShear.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace AudioEngine::AudioMath {

// A sheared spline (natural ends, uneven knots) whose segment search starts
// from a bucket index: the knots' range is cut into even buckets, each
// remembering the few segments an input in it can fall in, so a look-up
// compares with one knot (or halves over a few) rather than halving over all
// N knots. A serial loop that looks the spline up once a sample (a junction
// inside a feedback path) waits for each search; log2(N) dependent loads
// become one.
//
// The shear crowds the knots where the element conducts little (a junction's
// knots are a thousandth of a volt apart around 0 V and volts apart where it
// conducts hard), so one even index is either coarse where the knots crowd
// or huge. Two are kept: a fine one over the crowded stretch, its buckets no
// wider than the narrowest segment there, and a coarse one over the whole
// range; an input takes the fine one when it falls in its stretch.
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
        const auto xd = static_cast<double>(x);
        const Index& index = fine_.first <= xd && xd < fine_.last ? fine_ : coarse_;
        auto b = static_cast<std::int32_t>((xd - index.first) * index.scale);
        b = b < 0 ? 0 : (b > index.lastBucket ? index.lastBucket : b);
        const Bucket bucket = index.buckets[static_cast<std::size_t>(b)];
        std::int32_t lo = bucket.start;
        std::int32_t span = bucket.span;
        if (span <= 2) {
            // Most buckets: one comparison with the knot they hold.
            lo += bucket.split <= x ? span - 1 : 0;
        } else {
            while (span > 1) {
                const std::int32_t half = span >> 1;
                lo = knots[lo + half].x <= x ? lo + half : lo;
                span -= half;
            }
        }
        if (!(knots[lo].x <= x && x < knots[lo + 1].x))
            return this->findSegment(x);
        return lo;
    }

private:
    // Segments start .. start + span - 1 hold every input of the bucket;
    // split is the knot after start, where the second segment begins.
    struct Bucket {
        std::int32_t start;
        std::int32_t span;
        Value split;
    };

    // Even buckets over [first, last).
    struct Index {
        double first = 0.0;
        double last = 0.0;
        double scale = 0.0;
        std::int32_t lastBucket = 0;
        std::vector<Bucket> buckets;
    };

    void buildIndex()
    {
        const auto& knots = this->getKnots();
        const std::int32_t last = this->getLastSegment();
        const double xFirst = static_cast<double>(this->getXFirst());
        const double xLast = static_cast<double>(this->getXLast());
        const std::size_t coarseCount = 2 * knots.size();
        build(coarse_, xFirst, xLast, coarseCount);
        // The crowded stretch: the segments narrower than a coarse bucket,
        // indexed by buckets as wide as the narrowest of them (at most 16
        // per knot, so that a pathological curve cannot make it huge).
        const double coarseWidth = (xLast - xFirst) / static_cast<double>(coarseCount);
        double narrowest = coarseWidth;
        std::int32_t from = -1, to = -1;
        for (std::int32_t i = 0; i <= last; ++i) {
            const double width = static_cast<double>(knots[static_cast<std::size_t>(i) + 1].x) -
                                 static_cast<double>(knots[static_cast<std::size_t>(i)].x);
            if (width < coarseWidth) {
                from = from < 0 ? i : from;
                to = i;
                narrowest = std::min(narrowest, width);
            }
        }
        if (from < 0)
            return; // no stretch: the fine index stays empty and is never taken
        const double fineFirst = static_cast<double>(knots[static_cast<std::size_t>(from)].x);
        const double fineLast = static_cast<double>(knots[static_cast<std::size_t>(to) + 1].x);
        const double wanted = std::ceil((fineLast - fineFirst) / narrowest);
        const double cap = 16.0 * static_cast<double>(knots.size());
        build(fine_, fineFirst, fineLast, static_cast<std::size_t>(std::min(wanted, cap)));
    }

    void build(Index& index, double first, double last, std::size_t count)
    {
        const std::int32_t lastSegment = this->getLastSegment();
        index.first = first;
        index.last = last;
        index.scale = static_cast<double>(count) / (last - first);
        index.lastBucket = static_cast<std::int32_t>(count) - 1;
        index.buckets.resize(count);
        auto segmentAt = [&](double edge) {
            return this->findSegment(static_cast<Value>(first + edge / index.scale));
        };
        for (std::size_t b = 0; b < count; ++b) {
            // No margin for the rounding of the edges: an input that the
            // rounding puts in the bucket next door fails evaluate's check
            // and takes the full search.
            std::int32_t lo = segmentAt(static_cast<double>(b));
            std::int32_t hi = segmentAt(static_cast<double>(b + 1));
            lo = lo < 0 ? 0 : lo;
            hi = hi > lastSegment ? lastSegment : hi;
            hi = hi < lo ? lo : hi;
            index.buckets[b] =
                Bucket{lo, hi - lo + 1, this->getKnots()[static_cast<std::size_t>(lo) + 1].x};
        }
    }

    Index coarse_;
    Index fine_;
};

} // namespace AudioEngine::AudioMath
