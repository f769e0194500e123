#pragma once

#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicTraits.h"

namespace AudioEngine::BorvanQom {

// A tube stage's transfer curve from its sampled table (count samples evenly
// over [x0, x1]; see StageCurveTables.h).
template <class Table> class ClipCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    ClipCurve() : Curve2(Table::samples, Table::count, Table::x0, Table::x1) {}
};

// A clamped cubic spline through the table with its end slopes. The knots are
// evenly spaced, so a segment is found by its direct index.
template <class Table> struct ClipSplineTraits {
    using Curve = ClipCurve<Table>;
    static constexpr AudioMath::SplineEnds ends = AudioMath::SplineEnds::Clamped;
    static constexpr AudioMath::SplineFinder finder = AudioMath::SplineFinder::Uniform;
    static constexpr float startSlope = Table::startSlope;
    static constexpr float endSlope = Table::endSlope;
};

// The input transforms of the stages: their drive or their bias point.
namespace ClipperInput {
struct Unchanged {
    float operator()(float in) const noexcept { return in; }
};
struct Twice {
    float operator()(float in) const noexcept { return in + in; }
};
// K and B hold the factor or the bias point as static constexpr float value.
template <class K> struct Scaled {
    float operator()(float in) const noexcept { return K::value * in; }
};
template <class B> struct Biased {
    float operator()(float in) const noexcept { return in + B::value; }
};
} // namespace ClipperInput

// A tube stage as a memoryless waveshaper: the spline of its table evaluated at
// the transformed input, with the spline's own straight continuation beyond the
// table (no hard limit). Built once, with the stage; evaluation allocates
// nothing.
//
// An end whose imposed slope is 0 holds its end value exactly: the spline's
// fitted end slope equals 0 only up to rounding, and any residue, multiplied
// by an input far beyond the table, would pull a flat end away from its value.
template <class Table, class Input>
class SplineClipper : public AudioMath::SplineCubic<ClipSplineTraits<Table>> {
public:
    float operator()(float in) const noexcept { return shape(Input{}(in)); }

    // The stage's curve at the curve input x.
    float shape(float x) const noexcept
    {
        if constexpr (Table::startSlope == 0.0f) {
            if (x < this->getXFirst())
                x = this->getXFirst();
        }
        if constexpr (Table::endSlope == 0.0f) {
            if (x > this->getXLast())
                x = this->getXLast();
        }
        return this->evaluateUniform(x);
    }
};

} // namespace AudioEngine::BorvanQom
