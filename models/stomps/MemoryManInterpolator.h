#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicTraits.h"
#include "models/stomps/Interpolator1To1.h"

#include <array>
#include <cstddef>
#include <memory>

namespace AudioEngine::CX2::MemoryManInterpolator1dDetails {

// How far the bucket brigade's clock moves the delay, measured on the pedal:
// the ratio of the delay at control voltage V to the delay at the rest voltage
// -9.1 V, where every law gives 1, at three positions of the delay-time knob.
// A higher voltage clocks the brigade faster and shortens the delay, and the
// longer the knob's setting, the more a given voltage shortens it.

// The knob positions at which the laws were measured: short end, middle, long end.
struct Grid {
    static constexpr std::size_t size = 3;
    static constexpr std::array<double, 3> points{0.0, 0.5, 1.0};
    static constexpr std::array<double, 2> reciprocalSpacings{2.0, 2.0};
};

// One law: ratio as a function of the control voltage in volts.
class VoltageToPcrLaw {
public:
    virtual ~VoltageToPcrLaw() = default;
    virtual double operator()(double volts) const = 0;
};

// Knob at its short end: a straight line through 1.0 at -9.1 V.
class VoltageToPcrLawDelayTimeKnob00 final : public VoltageToPcrLaw {
public:
    static constexpr double offset = 0.84191662;
    static constexpr double slope = -0.0173718; // per volt
    double operator()(double volts) const override { return offset + slope * volts; }
};

// Knob in the middle: nine points from -9.1 V to -8.3 V.
class VoltageToPcrLawDelayTimeKnob05Curve
    : public AudioMath::Curve2<AudioMath::Curve2Traits<double>> {
public:
    static constexpr double ratios[9] = {1.0,       0.9895229, 0.9779475, 0.9685839, 0.9582673,
                                         0.9492146, 0.9402823, 0.9330903, 0.931701};
    static constexpr float firstVolts = -9.1f;
    static constexpr float lastVolts = -8.3f;
    VoltageToPcrLawDelayTimeKnob05Curve() { setFromTable(ratios, 9, firstVolts, lastVolts); }
};

// Knob at its long end: seven points from -9.1 V to -8.5 V.
class VoltageToPcrLawDelayTimeKnob10Curve
    : public AudioMath::Curve2<AudioMath::Curve2Traits<double>> {
public:
    static constexpr double ratios[7] = {1.0,       0.9699056, 0.9431044, 0.919485,
                                         0.8971817, 0.8828841, 0.8806695};
    static constexpr float firstVolts = -9.1f;
    static constexpr float lastVolts = -8.5f;
    VoltageToPcrLawDelayTimeKnob10Curve() { setFromTable(ratios, 7, firstVolts, lastVolts); }
};

// Clamped ends with the measured slopes at both end points, so the laws go on
// straight with those slopes outside their points; evenly spaced points, so
// the segment is found directly.
struct VoltageToPcrLawDelayTimeKnob05SplineTraits {
    using Curve = VoltageToPcrLawDelayTimeKnob05Curve;
    static constexpr AudioMath::SplineEnds ends = AudioMath::SplineEnds::Clamped;
    static constexpr AudioMath::SplineFinder finder = AudioMath::SplineFinder::Uniform;
    static constexpr double startSlope = -0.1047706;
    static constexpr double endSlope = 0.001209;
};

struct VoltageToPcrLawDelayTimeKnob10SplineTraits {
    using Curve = VoltageToPcrLawDelayTimeKnob10Curve;
    static constexpr AudioMath::SplineEnds ends = AudioMath::SplineEnds::Clamped;
    static constexpr AudioMath::SplineFinder finder = AudioMath::SplineFinder::Uniform;
    static constexpr double startSlope = -0.3009442;
    static constexpr double endSlope = 0.0029925;
};

// A law over a spline built once, on first use, and shared read-only by every
// delay.
template <class SplineTraits> class VoltageToPcrLawSpline : public VoltageToPcrLaw {
public:
    using Spline = AudioMath::SplineCubic<SplineTraits>;

    VoltageToPcrLawSpline() { spline(); }

    static const Spline& spline()
    {
        static const Spline shared;
        return shared;
    }

    double operator()(double volts) const override { return spline().evaluateUniform(volts); }
};

class VoltageToPcrLawDelayTimeKnob05 final
    : public VoltageToPcrLawSpline<VoltageToPcrLawDelayTimeKnob05SplineTraits> {};
class VoltageToPcrLawDelayTimeKnob10 final
    : public VoltageToPcrLawSpline<VoltageToPcrLawDelayTimeKnob10SplineTraits> {};

// The three laws, indexed by grid point.
struct PitchChangeRatioInterpolators {
    using Law = VoltageToPcrLaw;
    static std::unique_ptr<const Law> create(std::size_t gridPoint);
};

using Finder = AudioMath::Interpolator1To1Details::Finder<Grid>;
using Interpolator =
    AudioMath::Interpolator1To1Details::Interpolator<Grid, PitchChangeRatioInterpolators>;

} // namespace AudioEngine::CX2::MemoryManInterpolator1dDetails
