#include "models/amps/power/PowerAmpStageTable.h"

#include <stdexcept>

namespace AudioEngine::CX2 {

namespace {

using Spline = PowerAmpFunction::Spline;

bool sameKnots(const Spline& a, const Spline& b)
{
    if (a.getKnots().size() != b.getKnots().size())
        return false;
    for (std::size_t k = 0; k < a.getKnots().size(); ++k)
        if (a.getKnots()[k].x != b.getKnots()[k].x)
            return false;
    return a.getUniformFinder().scale == b.getUniformFinder().scale &&
           a.getLastSegment() == b.getLastSegment();
}

// Segment k of the table: 0 the constant at the first knot, k > 0 the
// spline's segment k - 1, as (a, b, c, nextY).
std::array<double, 4> cubicOf(const Spline& s, std::size_t k)
{
    if (k == 0)
        return {0.0, 0.0, 0.0, static_cast<double>(s.getKnots().front().y)};
    const auto& g = s.getSegments()[k - 1];
    return {static_cast<double>(g.a), static_cast<double>(g.b), static_cast<double>(g.c),
            static_cast<double>(s.getKnots()[k].y)};
}

} // namespace

PowerAmpStageTable::PowerAmpStageTable(const Grid& grid,
                                       const std::array<const PowerAmpFunction*, 9>& triples)
    : grid_(grid)
{
    const Spline& first = triples[0]->getVOut();
    segments_ = static_cast<std::uint32_t>(first.getSegments().size());
    const std::size_t rows = segments_ + 1; // the constant segment in front
    auto range = [](const Spline& s) {
        return Range{s.getXFirst(), s.getXLast(), s.getUniformFinder().scale, s.getLastSegment()};
    };
    auto step = [](const Spline& s, std::size_t k) {
        if (k == 0)
            return Step{static_cast<double>(s.getXFirst()), 0.0};
        return Step{static_cast<double>(s.getKnots()[k].x), s.getSegments()[k - 1].invH};
    };
    vRange_ = range(first);
    for (std::size_t k = 0; k < rows; ++k)
        vSteps_.push_back(step(first, k));
    vCoefficients_.assign(rows * kCoefficients * 9, 0.0);
    currents_.resize(9 * rows);
    for (std::size_t n = 0; n < 9; ++n) {
        const PowerAmpFunction& f = *triples[n];
        if (!sameKnots(f.getVOut(), first) || !sameKnots(f.getI1(), f.getI2()) ||
            f.getI1().getSegments().size() != segments_)
            throw std::invalid_argument(
                "PowerAmpStageTable: the output curves, and each triple's current curves, must "
                "share their knots");
        iRanges_[n] = range(f.getI1());
        for (std::size_t k = 0; k < rows; ++k) {
            const auto v = cubicOf(f.getVOut(), k);
            for (std::size_t c = 0; c < kCoefficients; ++c)
                vCoefficients_[(k * kCoefficients + c) * 9 + n] = v[c];
            const auto i1 = cubicOf(f.getI1(), k);
            const auto i2 = cubicOf(f.getI2(), k);
            currents_[n * rows + k] =
                CurrentSegment{step(f.getI1(), k), Cubics{Pair{i1[0], i2[0]}, Pair{i1[1], i2[1]},
                                                          Pair{i1[2], i2[2]}, Pair{i1[3], i2[3]}}};
        }
    }
}

} // namespace AudioEngine::CX2
