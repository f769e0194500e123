#pragma once

#include "engine/math/SplineCubicTraits.h"

namespace AudioEngine::AudioMath {

// The spline of a dense, evenly sampled saturating curve: clamped ends with
// slopes 0 and 0, so that beyond its table the curve holds its end samples,
// and the direct segment index. The tube power amps' output and current curves
// and their rectifier curves use it.
template <class CurveT> struct SplineTraits {
    using Curve = CurveT;
    static constexpr SplineEnds ends = SplineEnds::Clamped;
    static constexpr SplineFinder finder = SplineFinder::Uniform;
    static constexpr typename Curve::Value startSlope = 0;
    static constexpr typename Curve::Value endSlope = 0;
};

} // namespace AudioEngine::AudioMath
