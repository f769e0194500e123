#pragma once

// What the curve generator and the tests of its tables share: the spline the
// stages run over a table, the tolerance of a measured point as printed, and
// the one table that follows an exact law.
#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace PreampCurves {

using Knots = AudioEngine::AudioMath::Curve2<AudioEngine::AudioMath::Curve2Traits<float>>;

// The stages' splines: clamped ends, binary search; the slopes come with each
// table.
struct StageSplineTraits {
    using Curve = Knots;
    static constexpr AudioEngine::AudioMath::SplineEnds ends =
        AudioEngine::AudioMath::SplineEnds::Clamped;
    static constexpr AudioEngine::AudioMath::SplineFinder finder =
        AudioEngine::AudioMath::SplineFinder::BinarySearch;
    static constexpr float startSlope = 0.0f;
    static constexpr float endSlope = 0.0f;
};
using Spline = AudioEngine::AudioMath::SplineCubic<StageSplineTraits>;

// Half a unit of the last printed digit of a measured point; a printed "0"
// is exact and allows nothing.
inline double halfUnit(const std::string& text)
{
    const std::size_t e = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, e);
    const int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
    const std::size_t dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
    if (std::strtod(text.c_str(), nullptr) == 0.0)
        return 0.0;
    return 0.5 * std::pow(10.0, exponent - decimals);
}

// The limiter's photodiode transfer, amperes at its knot k (x = 1.2 + 0.1 k
// volts): zero at 1.2 V, then the straight law 0.003 (x - 1.25) / 3.25.
inline double limiterPhotoDiodeAmps(int k)
{
    const double x = 1.2 + 0.1 * k;
    return k == 0 ? 0.0 : 0.003 * (x - 1.25) / 3.25;
}

} // namespace PreampCurves
