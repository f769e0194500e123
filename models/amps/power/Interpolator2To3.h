#pragma once

#include "engine/math/Matrix.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

// A map from one input x to three outputs that changes with a point (s0, s1)
// of a plane: known exactly at the nine points of a 3 x 3 grid and blended
// bilinearly between the four grid points around (s0, s1). The tube power
// amps' output stage is such a map, x the drive, (s0, s1) the two supply
// voltages, the outputs the output voltage and the plate and screen currents.

namespace AudioEngine::AudioMath {

namespace InterpolatorMultiDetails {

using Result3 = Vector<float, 3>;

// A point of the plane.
struct Point {
    float s0;
    float s1;
};

// The grid cell that holds a point: two neighbouring indices per axis.
struct Cell {
    std::uint32_t lo0;
    std::uint32_t hi0;
    std::uint32_t lo1;
    std::uint32_t hi1;
};

class Finder {
public:
    virtual ~Finder() = default;
    virtual Cell find(Point point) const = 0;
};

class Interpolator {
public:
    virtual ~Interpolator() = default;
    virtual Result3 interpolate(float x, Point point, const Cell& cell) const = 0;
};

// The map at one grid point.
class InterpolatorBase {
public:
    virtual ~InterpolatorBase() = default;
    virtual Result3 evaluate(float x) const = 0;
};

// A grid point over a function object with evaluate(x) -> Result3.
template <class Function> class InterpolatorsInterpolator final : public InterpolatorBase {
public:
    explicit InterpolatorsInterpolator(Function function) : function_(std::move(function)) {}
    Result3 evaluate(float x) const override { return function_.evaluate(x); }
    const Function& getFunction() const noexcept { return function_; }

private:
    Function function_;
};

} // namespace InterpolatorMultiDetails

namespace Interpolator2To3Details {

using InterpolatorMultiDetails::Cell;
using InterpolatorMultiDetails::Point;
using InterpolatorMultiDetails::Result3;

// The grid's two axes, each increasing, with the inverse spacing of each
// interval so that a blend weight costs a multiply.
struct Grid {
    Grid(const std::array<float, 3>& a0, const std::array<float, 3>& a1) : axis0(a0), axis1(a1)
    {
        for (std::size_t k = 0; k < 2; ++k) {
            inv0[k] = 1.0f / (axis0[k + 1] - axis0[k]);
            inv1[k] = 1.0f / (axis1[k + 1] - axis1[k]);
        }
        ready = true;
    }

    std::array<float, 3> axis0;
    std::array<float, 3> axis1;
    std::array<float, 2> inv0{};
    std::array<float, 2> inv1{};
    bool ready = false;
};

// The blend weights of a point in a cell: from the point limited to the grid
// (a NaN goes to the lowest value), so beyond the grid the blend holds the
// edge values.
struct Weights {
    float t0;
    float t1;
};

template <class G>
[[gnu::always_inline]] inline Weights weights(const G& grid, Point point, const Cell& cell) noexcept
{
    float s0 = point.s0 > grid.axis0[0] ? point.s0 : grid.axis0[0];
    s0 = s0 < grid.axis0[2] ? s0 : grid.axis0[2];
    float s1 = point.s1 > grid.axis1[0] ? point.s1 : grid.axis1[0];
    s1 = s1 < grid.axis1[2] ? s1 : grid.axis1[2];
    return {(s0 - grid.axis0[cell.lo0]) * grid.inv0[cell.lo0],
            (s1 - grid.axis1[cell.lo1]) * grid.inv1[cell.lo1]};
}

//   r = (1 - t1) ((1 - t0) C + t0 D) + t1 ((1 - t0) A + t0 B)
// with A = (lo0, hi1), B = (hi0, hi1), C = (lo0, lo1), D = (hi0, lo1).
[[gnu::always_inline]] inline Result3 blend(Weights w, const Result3& a, const Result3& b,
                                            const Result3& c, const Result3& d) noexcept
{
    Result3 r;
    for (std::size_t k = 0; k < 3; ++k)
        r[k] = (1.0f - w.t1) * ((1.0f - w.t0) * c[k] + w.t0 * d[k]) +
               w.t1 * ((1.0f - w.t0) * a[k] + w.t0 * b[k]);
    return r;
}

// Finds the cell per axis by halving between lo = 0 and hi = 2: a value below
// axis[1] (also below axis[0], and a NaN) lies in (0, 1), a value at or above
// axis[1] in (1, 2). Points off the grid keep the edge cell; the interpolator
// limits the weights.
template <class G> class Finder final : public InterpolatorMultiDetails::Finder {
public:
    explicit Finder(const G& grid) : grid_(grid) {}

    Cell find(Point point) const override
    {
        Cell cell;
        axisCell(grid_.axis0, point.s0, cell.lo0, cell.hi0);
        axisCell(grid_.axis1, point.s1, cell.lo1, cell.hi1);
        return cell;
    }

private:
    static void axisCell(const std::array<float, 3>& axis, float s, std::uint32_t& lo,
                         std::uint32_t& hi) noexcept
    {
        lo = 0;
        hi = 2;
        while (hi - lo > 1) {
            const std::uint32_t mid = (lo + hi) / 2;
            if (s >= axis[mid])
                lo = mid;
            else
                hi = mid;
        }
    }

    const G& grid_;
};

// Owns the nine grid points, grid point (i0, i1) at index i0 + 3 i1 holding
// triple n = i0 + 3 i1 + 1 of the function set: Functions::Function is the
// grid point's function type and Functions::make(n) builds triple n.
template <class G, class Functions>
class Interpolator final : public InterpolatorMultiDetails::Interpolator {
public:
    using Function = typename Functions::Function;
    using GridPoint = InterpolatorMultiDetails::InterpolatorsInterpolator<Function>;

    explicit Interpolator(const G& grid) : grid_(grid)
    {
        for (int n = 1; n <= 9; ++n)
            points_[static_cast<std::size_t>(n - 1)] =
                std::make_unique<GridPoint>(Functions::make(n));
    }

    // The four grid points around the point, blended (see weights, blend).
    Result3 interpolate(float x, Point point, const Cell& cell) const override
    {
        const Weights w = weights(grid_, point, cell);
        const Result3 a = at(cell.lo0, cell.hi1).evaluate(x);
        const Result3 b = at(cell.hi0, cell.hi1).evaluate(x);
        const Result3 c = at(cell.lo0, cell.lo1).evaluate(x);
        const Result3 d = at(cell.hi0, cell.lo1).evaluate(x);
        return blend(w, a, b, c, d);
    }

    const GridPoint& at(std::uint32_t i0, std::uint32_t i1) const noexcept
    {
        return *points_[i0 + 3 * i1];
    }
    // Triple n, 1 .. 9.
    const GridPoint& triple(int n) const noexcept
    {
        return *points_[static_cast<std::size_t>(n - 1)];
    }

private:
    const G& grid_;
    std::array<std::unique_ptr<GridPoint>, 9> points_;
};

} // namespace Interpolator2To3Details

} // namespace AudioEngine::AudioMath
