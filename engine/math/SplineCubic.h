#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubicTraits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace AudioEngine::AudioMath {

// A cubic spline through the knots of a sampled transfer curve, built once and
// then evaluated per sample. Outside the knots the curve goes on as a straight
// line with the spline's own end slope, and at the two end knots it returns the
// end samples exactly.
//
// Within segment i, with u = (x_i+1 - x) / h running from 1 at x_i to 0 at x_i+1,
//   S(x) = ((a u + b) u + c) u + y_i+1,
// with a = (M_i - M_i+1) h^2 / 6, b = M_i+1 h^2 / 2,
// c = (y_i - y_i+1) - (2 M_i+1 + M_i) h^2 / 6, where M are the second derivatives
// at the knots: S(x_i) = y_i, S(x_i+1) = y_i+1 and S'' = M at both ends.
//
// The traits choose the variant (see SplineCubicTraits.h): clamped or natural
// ends, binary search or the direct index on evenly spaced knots, float or
// double. Every evaluation computes in double. Construction needs two or more
// knots with strictly increasing, finite x and finite y; it throws
// std::invalid_argument otherwise. Evaluation allocates nothing, has no side
// effects and may run on any thread once the constructor has returned.
template <class Traits> class SplineCubic {
public:
    using Curve = typename Traits::Curve;
    using Value = typename Curve::Value;
    using Point = typename Curve::Point;

    static constexpr bool kNatural = Traits::ends == SplineEnds::Natural;
    static constexpr bool kUniform = Traits::finder == SplineFinder::Uniform;

    // One segment between two knots. invH is double in either precision: the
    // segment variable u must be formed accurately for the cubic to hit its knots.
    struct Segment {
        Value a;
        Value b;
        Value c;
        double invH;
    };

    // Direct segment index on evenly spaced knots: (x - xFirst) scale, truncated.
    struct UniformFinder {
        Value xFirst = 0;
        Value xLast = 0;
        std::uint32_t count = 0;
        Value scale = 0;
    };

    // Over the traits' own curve and, when clamped, the traits' end slopes.
    SplineCubic() : SplineCubic(Curve()) {}

    // Over the given knots, with the traits' end slopes when clamped.
    explicit SplineCubic(Curve knots)
        : SplineCubic(std::move(knots), traitsStartSlope(), traitsEndSlope())
    {
    }

    // Over the given knots with the given end slopes (clamped splines only).
    SplineCubic(Curve knots, Value startSlope, Value endSlope)
        : knots_(std::move(knots)), startSlope_(kNatural ? Value(0) : startSlope),
          endSlope_(kNatural ? Value(0) : endSlope)
    {
        checkKnots(knots_);
        if (!std::isfinite(startSlope_) || !std::isfinite(endSlope_))
            throw std::invalid_argument("SplineCubic: the end slopes must be finite");
        if constexpr (kUniform)
            initUniformFinder();
        buildSegments();
    }

    SplineCubic(const SplineCubic&) = default;
    SplineCubic(SplineCubic&&) noexcept = default;
    SplineCubic& operator=(const SplineCubic&) = default;
    SplineCubic& operator=(SplineCubic&&) noexcept = default;
    virtual ~SplineCubic() = default;

    // S(x), segment found by binary search (any variant).
    void evaluate(const Value& x, Value& y) const { y = evaluate(x); }
    Value evaluate(Value x) const
    {
        if (xFirst_ < x && x < xLast_)
            return inside(findSegment(x), x);
        return outside(x);
    }

    // S(x), segment found by the direct index (uniform variants).
    void evaluateUniform(const Value& x, Value& y) const requires kUniform
    {
        y = evaluateUniform(x);
    }
    Value evaluateUniform(Value x) const requires kUniform
    {
        if (xFirst_ < x && x < xLast_)
            return inside(uniformIndexInside(x), x);
        return outside(x);
    }

    // S(x) within segment i, for an x strictly inside the knots that lies in
    // it (x_i <= x < x_i+1): what evaluate gives once its search has found i.
    Value evaluateInside(std::int32_t i, Value x) const noexcept { return inside(i, x); }

    // The segment evaluateUniform takes for an x strictly inside the knots:
    // splines over the same knots may share one look-up.
    std::int32_t uniformSegmentInside(Value x) const noexcept requires kUniform
    {
        return uniformIndexInside(x);
    }

    // S'(x) of the curve that evaluate gives: the cubic's derivative between the
    // end knots (found by the variant's finder), the end slopes beyond them.
    double slope(Value x) const
    {
        if (x <= xFirst_)
            return slopeFirst_;
        if (x >= xLast_)
            return slopeLast_;
        return segmentSlope(find(x), x);
    }

    // Binary search. Inside (xFirst < x < xLast) the answer is i with
    // x_i <= x < x_i+1, so a knot x_i falls in segment i. Outside, x >= xLast
    // gives the last segment and anything else (x <= xFirst, NaN) segment 0.
    std::int32_t findSegment(Value x) const
    {
        if (!(xFirst_ < x && x < xLast_))
            return x >= xLast_ ? lastSegment_ : 0;
        // Halving with x_lo <= x < x_lo+span kept true, from lo = 0 and
        // span = N - 1 down to span 1. The number of halvings depends on N
        // alone and the bound moves without a branch, so a search never
        // mispredicts and consecutive searches overlap in the processor; the
        // answer is the unique i with x_i <= x < x_i+1 all the same.
        const Point* knots = knots_.data();
        std::int32_t lo = 0;
        std::int32_t span = static_cast<std::int32_t>(knots_.size()) - 1;
        while (span > 1) {
            const std::int32_t half = span >> 1;
            lo = knots[lo + half].x <= x ? lo + half : lo;
            span -= half;
        }
        return lo;
    }

    // Direct index: (x - xFirst) scale, truncated toward zero. Rounding can carry
    // an x just below xLast to N - 1, one past the last segment, so the index is
    // limited to the last segment. Outside as findSegment.
    std::int32_t findUniformSegment(Value x) const requires kUniform
    {
        if (!(uniform_.xFirst < x && x < uniform_.xLast))
            return x >= uniform_.xLast ? lastSegment_ : 0;
        return uniformIndexInside(x);
    }

    // The second derivatives M_0 .. M_N-1 of the spline through the knots whose
    // first derivatives at the ends are s0 and sN (the classic tridiagonal sweep),
    // worked in double; values that would be subnormal in Value are stored as +0.
    static std::vector<Value> solveSecondDerivatives(Value s0, Value sN, const Curve& knots)
    {
        return solve(knots, false, s0, sN);
    }

    // As above with zero second derivatives at both ends instead of given slopes.
    static std::vector<Value> solveNaturalSecondDerivatives(const Curve& knots)
    {
        return solve(knots, true, Value(0), Value(0));
    }

    const Curve& getKnots() const noexcept { return knots_; }
    const std::vector<Segment>& getSegments() const noexcept { return segments_; }
    Value getXFirst() const noexcept { return xFirst_; }
    Value getXLast() const noexcept { return xLast_; }
    Value getYFirst() const noexcept { return yFirst_; }
    Value getYLast() const noexcept { return yLast_; }
    Value getSlopeFirst() const noexcept { return slopeFirst_; }
    Value getSlopeLast() const noexcept { return slopeLast_; }
    Value getStartSlope() const noexcept { return startSlope_; }
    Value getEndSlope() const noexcept { return endSlope_; }
    std::int32_t getLastSegment() const noexcept { return lastSegment_; }
    const UniformFinder& getUniformFinder() const noexcept { return uniform_; }

private:
    static constexpr Value traitsStartSlope()
    {
        if constexpr (kNatural)
            return Value(0);
        else
            return Traits::startSlope;
    }
    static constexpr Value traitsEndSlope()
    {
        if constexpr (kNatural)
            return Value(0);
        else
            return Traits::endSlope;
    }

    static void checkKnots(const Curve& knots)
    {
        if (knots.size() < 2)
            throw std::invalid_argument("SplineCubic: a spline needs at least two knots");
        if (knots.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw std::invalid_argument("SplineCubic: too many knots");
        for (std::size_t i = 0; i < knots.size(); ++i) {
            if (!std::isfinite(knots[i].x) || !std::isfinite(knots[i].y))
                throw std::invalid_argument("SplineCubic: knots must be finite");
            if (i > 0 && !(knots[i - 1].x < knots[i].x))
                throw std::invalid_argument("SplineCubic: knot x must increase strictly");
        }
    }

    // A value that would be zero or subnormal once stored in Value becomes +0, so
    // that evaluation never meets subnormal operands.
    static double flushed(double v) noexcept
    {
        return std::fabs(v) < static_cast<double>(std::numeric_limits<Value>::min()) ? 0.0 : v;
    }

    static std::vector<Value> solve(const Curve& knots, bool natural, Value s0, Value sN)
    {
        const std::size_t n = knots.size();
        std::vector<double> m(n), u(n - 1);
        auto x = [&](std::size_t i) { return static_cast<double>(knots[i].x); };
        auto y = [&](std::size_t i) { return static_cast<double>(knots[i].y); };

        if (natural) {
            m[0] = 0.0;
            u[0] = 0.0;
        } else {
            const double h = x(1) - x(0);
            m[0] = -0.5;
            u[0] = (3.0 / h) * ((y(1) - y(0)) / h - static_cast<double>(s0));
        }
        for (std::size_t i = 1; i + 1 < n; ++i) {
            const double sig = (x(i) - x(i - 1)) / (x(i + 1) - x(i - 1));
            const double p = sig * m[i - 1] + 2.0;
            m[i] = (sig - 1.0) / p;
            const double d =
                (y(i + 1) - y(i)) / (x(i + 1) - x(i)) - (y(i) - y(i - 1)) / (x(i) - x(i - 1));
            u[i] = (6.0 * d / (x(i + 1) - x(i - 1)) - sig * u[i - 1]) / p;
            if (natural)
                u[i] = flushed(u[i]);
        }
        if (natural) {
            m[n - 1] = 0.0;
        } else {
            const double h = x(n - 1) - x(n - 2);
            const double un = (3.0 / h) * (static_cast<double>(sN) - (y(n - 1) - y(n - 2)) / h);
            m[n - 1] = flushed((un - 0.5 * u[n - 2]) / (0.5 * m[n - 2] + 1.0));
        }
        for (std::size_t k = n - 1; k-- > 0;)
            m[k] = flushed(m[k] * m[k + 1] + u[k]);

        std::vector<Value> result(n);
        for (std::size_t i = 0; i < n; ++i)
            result[i] = static_cast<Value>(flushed(m[i]));
        return result;
    }

    void initUniformFinder()
    {
        uniform_.xFirst = knots_.front().x;
        uniform_.xLast = knots_.back().x;
        uniform_.count = static_cast<std::uint32_t>(knots_.size());
        uniform_.scale =
            static_cast<Value>(uniform_.count - 1) / (uniform_.xLast - uniform_.xFirst);
    }

    void buildSegments()
    {
        const std::vector<Value> m = kNatural
                                         ? solveNaturalSecondDerivatives(knots_)
                                         : solveSecondDerivatives(startSlope_, endSlope_, knots_);
        constexpr double kSixth = 0.16666666666666666;
        segments_.clear();
        segments_.reserve(knots_.size() - 1);
        for (std::size_t i = 0; i + 1 < knots_.size(); ++i) {
            const double h =
                static_cast<double>(knots_[i + 1].x) - static_cast<double>(knots_[i].x);
            const double h2 = h * h;
            const double m0 = m[i];
            const double m1 = m[i + 1];
            Segment s;
            s.a = static_cast<Value>((m0 - m1) * h2 * kSixth);
            s.b = static_cast<Value>(m1 * h2 * 0.5);
            s.c = static_cast<Value>(
                (static_cast<double>(knots_[i].y) - static_cast<double>(knots_[i + 1].y)) -
                (2.0 * m1 + m0) * h2 * kSixth);
            s.invH = 1.0 / h;
            segments_.push_back(s);
        }
        setEndConditions();
    }

    void setEndConditions()
    {
        lastSegment_ = static_cast<std::int32_t>(knots_.size()) - 2;
        xFirst_ = knots_.front().x;
        xLast_ = knots_.back().x;
        yFirst_ = knots_.front().y;
        yLast_ = knots_.back().y;
        slopeFirst_ = static_cast<Value>(segmentSlope(0, xFirst_));
        slopeLast_ = static_cast<Value>(segmentSlope(lastSegment_, xLast_));
    }

    // The direct index for an x already known to lie strictly inside.
    std::int32_t uniformIndexInside(Value x) const noexcept
    {
        const auto index = static_cast<std::int32_t>((x - uniform_.xFirst) * uniform_.scale);
        return index < lastSegment_ ? index : lastSegment_;
    }

    std::int32_t find(Value x) const
    {
        if constexpr (kUniform)
            return findUniformSegment(x);
        else
            return findSegment(x);
    }

    Value inside(std::int32_t i, Value x) const noexcept
    {
        const Segment& s = segments_[static_cast<std::size_t>(i)];
        const Point& next = knots_[static_cast<std::size_t>(i) + 1];
        const double u = (static_cast<double>(next.x) - static_cast<double>(x)) * s.invH;
        // a u^3 + b u^2 + c u + y as (a u + b) u^2 + (c u + y): the two halves
        // side by side, so a look-up in a serial loop waits for three
        // operations after u rather than six. In double, the order only moves
        // the last bits, far below what a float result keeps.
        const double high = static_cast<double>(s.a) * u + static_cast<double>(s.b);
        const double low = static_cast<double>(s.c) * u + static_cast<double>(next.y);
        const double r = high * (u * u) + low;
        return static_cast<Value>(r);
    }

    // The straight continuation; at x = xFirst and x = xLast exactly the end sample.
    Value outside(Value x) const
    {
        if (x < xLast_)
            return static_cast<Value>((static_cast<double>(x) - static_cast<double>(xFirst_)) *
                                          static_cast<double>(slopeFirst_) +
                                      static_cast<double>(yFirst_));
        return static_cast<Value>((static_cast<double>(x) - static_cast<double>(xLast_)) *
                                      static_cast<double>(slopeLast_) +
                                  static_cast<double>(yLast_));
    }

    // S'(x) = -invH ((3 a u + 2 b) u + c) within segment i.
    double segmentSlope(std::int32_t i, Value x) const
    {
        const Segment& s = segments_[static_cast<std::size_t>(i)];
        const double u = (static_cast<double>(knots_[static_cast<std::size_t>(i) + 1].x) -
                          static_cast<double>(x)) *
                         s.invH;
        return -s.invH *
               ((3.0 * static_cast<double>(s.a) * u + 2.0 * static_cast<double>(s.b)) * u +
                static_cast<double>(s.c));
    }

    Curve knots_;
    std::vector<Segment> segments_;
    Value xFirst_ = 0;
    Value xLast_ = 0;
    Value yFirst_ = 0;
    Value yLast_ = 0;
    Value slopeFirst_ = 0;
    Value slopeLast_ = 0;
    std::int32_t lastSegment_ = 0;
    Value startSlope_ = 0;
    Value endSlope_ = 0;
    UniformFinder uniform_;
};

} // namespace AudioEngine::AudioMath
