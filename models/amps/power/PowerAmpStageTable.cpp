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

} // namespace

PowerAmpStageTable::PowerAmpStageTable(const Grid& grid,
                                       const std::array<const PowerAmpFunction*, 9>& triples)
    : grid_(grid), functions_(triples)
{
    const Spline& first = triples[0]->getVOut();
    segments_ = static_cast<std::uint32_t>(first.getSegments().size());
    auto range = [](const Spline& s) {
        return Range{s.getXFirst(), s.getXLast(), s.getUniformFinder().scale, s.getLastSegment()};
    };
    auto steps = [](const Spline& s, std::size_t k) {
        return Step{static_cast<double>(s.getKnots()[k + 1].x), s.getSegments()[k].invH};
    };
    auto cubicOf = [](const Spline& s, std::size_t k) {
        const auto& g = s.getSegments()[k];
        return Cubic{static_cast<double>(g.a), static_cast<double>(g.b), static_cast<double>(g.c),
                     static_cast<double>(s.getKnots()[k + 1].y)};
    };
    vRange_ = range(first);
    for (std::size_t k = 0; k < segments_; ++k)
        vSteps_.push_back(steps(first, k));
    for (std::size_t n = 0; n < 9; ++n) {
        const PowerAmpFunction& f = *triples[n];
        if (!sameKnots(f.getVOut(), first) || !sameKnots(f.getI1(), f.getI2()) ||
            f.getI1().getSegments().size() != segments_)
            throw std::invalid_argument(
                "PowerAmpStageTable: the output curves, and each triple's current curves, must "
                "share their knots");
        for (std::size_t k = 0; k < segments_; ++k)
            vCubics_.push_back(cubicOf(f.getVOut(), k));
        iRanges_[n] = range(f.getI1());
        for (std::size_t k = 0; k < segments_; ++k)
            currents_.push_back(
                CurrentSegment{steps(f.getI1(), k), cubicOf(f.getI1(), k), cubicOf(f.getI2(), k)});
    }
}

} // namespace AudioEngine::CX2
