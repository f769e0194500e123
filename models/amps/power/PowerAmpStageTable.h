#pragma once

#include "models/amps/power/Interpolator2To3.h"
#include "models/amps/power/PowerAmpFunction.h"

#include <array>
#include <cstdint>
#include <cstring>
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
// order (widened to double as the spline widens them), evaluated two at a
// time (two corners' outputs, one corner's two currents) in one register,
// which rounds each lane as the scalar code would. An input on or beyond a
// curve's end gives the end sample, as the spline's limited look-up does:
// the left end is a constant segment put in front of the curve's own, the
// right end the last segment at u = 0, so no input takes a branch. The
// constructor checks that the knots are shared as above and throws
// std::invalid_argument when not.
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
        // The output curves: one segment for all corners, a row's two
        // corners side by side.
        const float xv = limited(x, vRange_);
        const std::uint32_t sv = segmentOf(xv, vRange_);
        const Step& step = vSteps_[sv];
        const double u = (step.nextX - static_cast<double>(xv)) * step.invH;
        const Pair vHigh = cubic(vPair(sv, cell.lo0 + 3 * cell.hi1), u);
        const Pair vLow = cubic(vPair(sv, cell.lo0 + 3 * cell.lo1), u);
        const Pair ia = currents(cell.lo0 + 3 * cell.hi1, x);
        const Pair ib = currents(cell.hi0 + 3 * cell.hi1, x);
        const Pair ic = currents(cell.lo0 + 3 * cell.lo1, x);
        const Pair id = currents(cell.hi0 + 3 * cell.lo1, x);
        const Result3 a{
            {{static_cast<float>(vHigh[0]), static_cast<float>(ia[0]), static_cast<float>(ia[1])}}};
        const Result3 b{
            {{static_cast<float>(vHigh[1]), static_cast<float>(ib[0]), static_cast<float>(ib[1])}}};
        const Result3 c{
            {{static_cast<float>(vLow[0]), static_cast<float>(ic[0]), static_cast<float>(ic[1])}}};
        const Result3 d{
            {{static_cast<float>(vLow[1]), static_cast<float>(id[0]), static_cast<float>(id[1])}}};
        return AudioMath::Interpolator2To3Details::blend(w, a, b, c, d);
    }

    // What interpolate(x, point, find(point)) gives, for the sample loop. The
    // supply moves slowly, so the cell is nearly always the last sample's:
    // taken as a branch on it (one body per cell, its corners constants), the
    // processor runs the corners' look-ups ahead while the supply's step that
    // gives the point is still under way, instead of waiting for the cell.
    [[gnu::always_inline]] Result3 interpolateAt(float x, Point point) const noexcept
    {
        const Cell cell = find(point);
        switch (cell.lo0 + 2 * cell.lo1) {
        case 0:
            return interpolateIn<0, 0>(x, point);
        case 1:
            return interpolateIn<1, 0>(x, point);
        case 2:
            return interpolateIn<0, 1>(x, point);
        default:
            return interpolateIn<1, 1>(x, point);
        }
    }

private:
    // Two doubles in one register: each lane rounds as its scalar would.
    using Pair = double __attribute__((vector_size(16)));

    // A segment's right knot and inverse width, as the spline holds them; the
    // constant segment in front has invH 0, so u is 0 there.
    struct Step {
        double nextX;
        double invH;
    };
    // Two cubics in u, lane by lane, and their right knots' values, summed
    // as the spline sums them.
    struct Cubics {
        Pair a;
        Pair b;
        Pair c;
        Pair nextY;
    };
    // A current segment: the step both current curves share, and their
    // cubics (i1, i2).
    struct CurrentSegment {
        Step step;
        Cubics i;
    };
    // The spline's limits and direct index.
    struct Range {
        float first;
        float last;
        float scale;
        std::int32_t lastSegment;
    };
    // One coefficient of the nine output curves' cubics in one segment.
    static constexpr std::size_t kCoefficients = 4; // a, b, c, nextY

    template <std::uint32_t Lo0, std::uint32_t Lo1>
    [[gnu::always_inline]] Result3 interpolateIn(float x, Point point) const noexcept
    {
        constexpr Cell cell{Lo0, Lo0 + 1, Lo1, Lo1 + 1};
        return interpolate(x, point, cell);
    }

    // x held to [first, last]; a NaN becomes first.
    static float limited(float x, const Range& range) noexcept
    {
        x = x > range.first ? x : range.first;
        return x < range.last ? x : range.last;
    }

    // The table's segment for a limited x: 0 (the constant in front) at
    // first, else 1 + the spline's own.
    static std::uint32_t segmentOf(float x, const Range& range) noexcept
    {
        auto index = static_cast<std::int32_t>((x - range.first) * range.scale);
        index = index < range.lastSegment ? index : range.lastSegment;
        return x > range.first ? static_cast<std::uint32_t>(index) + 1u : 0u;
    }

    static Pair cubic(const Cubics& s, double u) noexcept
    {
        const Pair uu = {u, u};
        return (s.a * uu + s.b) * (uu * uu) + (s.c * uu + s.nextY);
    }

    // The output cubics of grid points point and point + 1 in segment s.
    Cubics vPair(std::uint32_t s, std::uint32_t point) const noexcept
    {
        const double* row = &vCoefficients_[s * kCoefficients * 9 + point];
        Cubics c;
        std::memcpy(&c.a, row, sizeof(Pair));
        std::memcpy(&c.b, row + 9, sizeof(Pair));
        std::memcpy(&c.c, row + 18, sizeof(Pair));
        std::memcpy(&c.nextY, row + 27, sizeof(Pair));
        return c;
    }

    // (i1, i2) of a grid point at drive x.
    [[gnu::always_inline]] Pair currents(std::uint32_t point, float x) const noexcept
    {
        const Range& range = iRanges_[point];
        const float xi = limited(x, range);
        const CurrentSegment& s = currents_[point * (segments_ + 1) + segmentOf(xi, range)];
        const double u = (s.step.nextX - static_cast<double>(xi)) * s.step.invH;
        return cubic(s.i, u);
    }

    Grid grid_;
    std::uint32_t segments_ = 0;
    Range vRange_{};
    std::vector<Step> vSteps_;
    // [segment][coefficient][point], the constant segment first.
    std::vector<double> vCoefficients_;
    std::array<Range, 9> iRanges_{};
    // [point][segment], the constant segment first.
    std::vector<CurrentSegment> currents_;
};

} // namespace AudioEngine::CX2
