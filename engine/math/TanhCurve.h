#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"

namespace AudioEngine::CX2::DynacompCompSectionDetails {

// y = tanh(x) on 201 knots over -10 .. 10, step 0.1, both coordinates rounded to
// single precision. The knots are made as i x 20 x 0.005 - 10 in double with the
// step 0.005 taken as a float constant, which puts the ends at exactly -10 and
// 10 and the middle knot at -2.2351742e-7 rather than 0; the compressor's
// calibration was made against these very knots.
class TanhCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    static constexpr int kKnots = 201;

    TanhCurve();
};

// The bounds of the tanh spline: flat (slope 0) beyond both ends, where tanh has
// settled to +-1 in single precision.
struct TanhBounds {
    using Curve = TanhCurve;
    static constexpr float startSlope = 0.0f;
    static constexpr float endSlope = 0.0f;
};

using TanhSpline = AudioMath::SplineCubic<AudioMath::SplineCubicUniformLinearTraits<TanhBounds>>;

} // namespace AudioEngine::CX2::DynacompCompSectionDetails
