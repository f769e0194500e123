#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace AudioEngine::AudioMath::Interpolator1To1Details {

// A family of one-input laws y = L_i(x), one law per point g_i of a grid over
// a second variable k (a knob position, say), read between the grid points by
// blending the two neighbouring laws linearly in k. The laws carry the shape
// in x (measured curves); the grid only says where along k each was measured.
//
// A grid class supplies
//   static constexpr std::size_t size;                        two or more points
//   static constexpr std::array<double, size> points;         increasing
//   static constexpr std::array<double, size - 1> reciprocalSpacings;
//                                                             1 / (g_i+1 - g_i)

// The cell (lo, hi = lo + 1) of the grid that holds k, and the weight of the
// upper law in it.
template <class Grid> class Finder {
public:
    static_assert(Grid::size >= 2, "a grid needs two points");

    struct Cell {
        std::uint32_t lo;
        std::uint32_t hi;
    };

    // Halving from the whole grid down to one cell: k below g_mid goes to the
    // lower half, anything else (a point itself, NaN) to the upper one. So k
    // below the first point falls in the first cell, k at or above the last
    // point in the last cell.
    static Cell find(double k) noexcept
    {
        std::uint32_t lo = 0;
        std::uint32_t hi = static_cast<std::uint32_t>(Grid::size) - 1;
        while (hi - lo > 1) {
            const std::uint32_t mid = (lo + hi) / 2;
            if (k < Grid::points[mid])
                hi = mid;
            else
                lo = mid;
        }
        return {lo, hi};
    }

    // t = (kc - g_lo) / (g_hi - g_lo), with k clamped to the grid: between 0
    // and 1 for every k, so the blend never extrapolates along k. Clamping to
    // the cell is the same for every number (the search put k inside it, or
    // beyond the grid's end that the cell holds) and sends NaN to the lower law.
    static double weight(Cell cell, double k) noexcept
    {
        const double lo = Grid::points[cell.lo];
        const double hi = Grid::points[cell.hi];
        const double kc = k > lo ? (k < hi ? k : hi) : lo;
        return (kc - lo) * Grid::reciprocalSpacings[cell.lo];
    }
};

// Owns one law per grid point and evaluates the blend
//   y = L_hi(x) t + (1 - t) L_lo(x).
// Laws names the law base (Laws::Law, with a const double operator()(double))
// and makes the law of each grid point (Laws::create(i)); they are made once,
// at construction, and deleted with the interpolator.
template <class Grid, class Laws> class Interpolator {
public:
    using Law = typename Laws::Law;

    Interpolator()
    {
        for (std::size_t i = 0; i < Grid::size; ++i)
            laws_[i] = Laws::create(i);
    }
    Interpolator(const Interpolator&) = delete;
    Interpolator& operator=(const Interpolator&) = delete;

    // Allocation-free; safe on the audio thread.
    double interpolate(double x, double k) const
    {
        const auto cell = Finder<Grid>::find(k);
        const double t = Finder<Grid>::weight(cell, k);
        return (*laws_[cell.hi])(x)*t + (1.0 - t) * (*laws_[cell.lo])(x);
    }

    const Law& law(std::size_t gridPoint) const { return *laws_.at(gridPoint); }

private:
    std::array<std::unique_ptr<const Law>, Grid::size> laws_;
};

} // namespace AudioEngine::AudioMath::Interpolator1To1Details
