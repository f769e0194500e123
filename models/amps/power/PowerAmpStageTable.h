#pragma once

#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerAmpFunction.h"

#include <array>
#include <cstdint>
#include <vector>

namespace AudioEngine::CX2 {

// The nine grid-point functions of a tube power amp laid out for its sample
// loop, giving what Interpolator2To3's interpolate gives, bit for bit, at a
// fraction of the cost. The generic interpolator evaluates twelve splines a
// sample, each through a virtual call and each searching its own segment;
// here the segment is found once per input range instead:
// - the nine output curves share their knots (one drive range for the
//   model), so one index and one segment variable u serve all four corners;
// - a triple's two current curves share their knots too, so each corner finds
//   one segment for both.
// The cubics are then the splines' own, with the same operands in the same
// order (widened to double as the spline widens them), and an input on or
// beyond a curve's end goes through the spline itself. The constructor checks
// that the knots are shared as above and throws std::invalid_argument when
// not.
//
// Built once per model and process (it is immutable) and read by every
// processor's sample loop; evaluation allocates nothing.
class PowerAmpStageTable {
public:
    using Grid = AudioMath::Interpolator2To3Details::Grid;
    using Cell = AudioMath::InterpolatorMultiDetails::Cell;
    using Point = AudioMath::InterpolatorMultiDetails::Point;
    using Result3 = AudioMath::InterpolatorMultiDetails::Result3;

    // triples[n - 1] is triple n, at grid point ((n - 1) % 3, (n - 1) / 3).
    PowerAmpStageTable(const Grid& grid, const std::array<const PowerAmpFunction*, 9>& triples);

    // The cell of Interpolator2To3's finder: one comparison per axis, a NaN
    // in the lower cell.
    [[gnu::always_inline]] Cell find(Point point) const noexcept
    {
        const bool high0 = point.s0 >= grid_.axis0[1];
        const bool high1 = point.s1 >= grid_.axis1[1];
        return Cell{high0 ? 1u : 0u, high0 ? 2u : 1u, high1 ? 1u : 0u, high1 ? 2u : 1u};
    }

    // (v, i1, i2) at drive x, blended between the four grid points around the
    // point as Interpolator2To3::interpolate blends them.
    [[gnu::always_inline]] Result3 interpolate(float x, Point point,
                                               const Cell& cell) const noexcept
    {
        const auto w = AudioMath::Interpolator2To3Details::weights(grid_, point, cell);
        const Lookup v = lookUp(vRange_, vSteps_.data(), x);
        const Result3 a = corner(cell.lo0 + 3 * cell.hi1, x, v);
        const Result3 b = corner(cell.hi0 + 3 * cell.hi1, x, v);
        const Result3 c = corner(cell.lo0 + 3 * cell.lo1, x, v);
        const Result3 d = corner(cell.hi0 + 3 * cell.lo1, x, v);
        return AudioMath::Interpolator2To3Details::blend(w, a, b, c, d);
    }

private:
    // A segment's right knot and inverse width, as the spline holds them.
    struct Step {
        double nextX;
        double invH;
    };
    // A segment's cubic in u and its right knot's value.
    struct Cubic {
        double a;
        double b;
        double c;
        double nextY;
    };
    // A current segment: the step both current curves share, and their cubics.
    struct CurrentSegment {
        Step step;
        Cubic i1;
        Cubic i2;
    };
    // The spline's limits and direct index.
    struct Range {
        float first;
        float last;
        float scale;
        std::int32_t lastSegment;
    };
    // Where an input falls: inside the knots (segment and u) or at an end.
    struct Lookup {
        bool inside;
        std::int32_t segment;
        double u;
    };

    static Lookup lookUpLimited(const Range& range, const Step* steps, float x) noexcept
    {
        Lookup l{false, 0, 0.0};
        if (range.first < x && x < range.last) {
            const auto index = static_cast<std::int32_t>((x - range.first) * range.scale);
            l.segment = index < range.lastSegment ? index : range.lastSegment;
            const Step& s = steps[l.segment];
            l.u = (s.nextX - static_cast<double>(x)) * s.invH;
            l.inside = true;
        }
        return l;
    }

    static Lookup lookUp(const Range& range, const Step* steps, float x) noexcept
    {
        x = x > range.first ? x : range.first;
        x = x < range.last ? x : range.last;
        return lookUpLimited(range, steps, x);
    }

    static float cubic(const Cubic& s, double u) noexcept
    {
        return static_cast<float>(((s.a * u + s.b) * u + s.c) * u + s.nextY);
    }

    [[gnu::always_inline]] Result3 corner(std::uint32_t point, float x,
                                          const Lookup& v) const noexcept
    {
        const PowerAmpFunction& f = *functions_[point];
        Result3 r;
        r[0] = v.inside
                   ? cubic(vCubics_[point * segments_ + static_cast<std::uint32_t>(v.segment)], v.u)
                   : BorvanQom::evaluateLimited(f.getVOut(), x);
        const CurrentSegment* segments = &currents_[point * segments_];
        float xi = x > iRanges_[point].first ? x : iRanges_[point].first;
        xi = xi < iRanges_[point].last ? xi : iRanges_[point].last;
        const Range& range = iRanges_[point];
        if (range.first < xi && xi < range.last) {
            const auto index = static_cast<std::int32_t>((xi - range.first) * range.scale);
            const CurrentSegment& s =
                segments[index < range.lastSegment ? index : range.lastSegment];
            const double u = (s.step.nextX - static_cast<double>(xi)) * s.step.invH;
            r[1] = cubic(s.i1, u);
            r[2] = cubic(s.i2, u);
        } else {
            r[1] = BorvanQom::evaluateLimited(f.getI1(), x);
            r[2] = BorvanQom::evaluateLimited(f.getI2(), x);
        }
        return r;
    }

    Grid grid_;
    std::array<const PowerAmpFunction*, 9> functions_;
    std::uint32_t segments_ = 0;
    Range vRange_{};
    std::vector<Step> vSteps_;
    std::vector<Cubic> vCubics_;
    std::array<Range, 9> iRanges_{};
    std::vector<CurrentSegment> currents_;
};

} // namespace AudioEngine::CX2
