#pragma once

#include "engine/math/Matrix.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/SplineCubicTraits.h"
#include "engine/math/SplineTraits.h"

#include <cstddef>
#include <utility>

namespace AudioEngine::AudioMath {

// A nonlinear element y = f(x) (a junction's current against its voltage)
// inside a linear circuit that is discretised with the K-method: per sample the
// linear part fixes x = p + K y, with p known from the state and the input and
// K a constant of the discretisation. Eliminating x gives y = g(p) with
//   p = x - K y,
// so the curve of the element, sheared point by point from (x, y) to
// (x - K y, y), gives the element's y for a known p without any iteration.
// The shear needs x - K y to increase along the curve, which holds for a
// passive element (f increasing) under a K <= 0.
//
// SplineCubicShear fits a spline of the traits' kind (natural ends and binary
// search by default) through the sheared points; evaluate(p) is y. The
// sheared abscissae are uneven wherever the element conducts.
template <class CurveT, template <class> class TraitsT = SplineCubicNaturalTraits>
class SplineCubicShear : public SplineCubic<TraitsT<CurveT>> {
public:
    using Base = SplineCubic<TraitsT<CurveT>>;
    using Curve = CurveT;
    using Value = typename Curve::Value;

    // Over the curve's own points (its default constructor fills them).
    explicit SplineCubicShear(Value k) : SplineCubicShear(Curve(), k) {}
    // Over the given points. Throws std::invalid_argument when the sheared
    // abscissae do not increase strictly (see SplineCubic).
    SplineCubicShear(Curve knots, Value k) : Base(shear(std::move(knots), k)), k_(k) {}

    // Each point (x, y) becomes (x - k y, y), the product and difference in
    // double, stored as Value.
    static Curve shear(Curve knots, Value k)
    {
        for (auto& point : knots)
            point.x = static_cast<Value>(static_cast<double>(point.x) -
                                         static_cast<double>(k) * static_cast<double>(point.y));
        return knots;
    }

    Value getShear() const noexcept { return k_; }

private:
    Value k_;
};

// The sheared curve again, resampled for the direct segment index: the
// natural spline through the sheared points is sampled at as many evenly
// spaced p as the curve has points, from the first sheared abscissa to the
// last, and a clamped spline with end slopes 0 (SplineTraits) is fitted
// through these samples. Beyond the sheared range y holds the end values.
// Construction allocates; evaluation is one multiply, one truncation and one
// cubic.
template <class CurveT> class SplineCubicShearUniform : public SplineCubic<SplineTraits<CurveT>> {
public:
    using Base = SplineCubic<SplineTraits<CurveT>>;
    using Curve = CurveT;
    using Value = typename Curve::Value;
    using Sheared = SplineCubicShear<CurveT, SplineCubicNaturalTraits>;

    explicit SplineCubicShearUniform(Value k) : SplineCubicShearUniform(Curve(), k) {}
    SplineCubicShearUniform(const Curve& knots, Value k)
        : Base(resample(Sheared(knots, k), knots)), k_(k)
    {
    }

    // knots only lends its storage and its count: point j becomes
    // (p_j, sheared(p_j)) with p_j = j (p_last - p_first) / (count - 1) + p_first.
    static Curve resample(const Sheared& sheared, Curve knots)
    {
        const std::size_t count = knots.size();
        const Value first = sheared.getXFirst();
        const Value span = sheared.getXLast() - first;
        const Value steps = static_cast<Value>(count > 1 ? count - 1 : 1);
        for (std::size_t j = 0; j < count; ++j) {
            const Value p = static_cast<Value>(j) * span / steps + first;
            knots[j].x = p;
            knots[j].y = sheared.evaluate(p);
        }
        return knots;
    }

    Value getShear() const noexcept { return k_; }

private:
    Value k_;
};

// The uniform sheared spline for a K that comes as the 1 x 1 matrix of a
// state-space discretisation, evaluated on 1 x 1 matrices as well.
template <class CurveT>
class SplineCubicShearUniformMatrix : public SplineCubicShearUniform<CurveT> {
public:
    using Base = SplineCubicShearUniform<CurveT>;
    using Curve = CurveT;
    using Value = typename Curve::Value;
    using Scalar = Matrix<Value, 1, 1>;

    explicit SplineCubicShearUniformMatrix(const Scalar& k) : Base(k[0]) {}
    SplineCubicShearUniformMatrix(Curve knots, const Scalar& k) : Base(std::move(knots), k[0]) {}

    using Base::evaluateUniform;
    Scalar evaluateUniform(const Scalar& p) const
    {
        Scalar y;
        y[0] = Base::evaluateUniform(p[0]);
        return y;
    }
};

} // namespace AudioEngine::AudioMath
