#pragma once

namespace AudioEngine::AudioMath {

// How a spline's second derivatives are closed at the two end knots.
enum class SplineEnds {
    Clamped, // the first derivative at each end is given (startSlope, endSlope)
    Natural, // the second derivative is zero at both ends
};

// How a spline finds the segment that holds x.
enum class SplineFinder {
    BinarySearch, // any increasing knots; about log2 N comparisons
    Uniform,      // evenly spaced knots only; one multiply and one truncation
};

// What SplineCubic asks of its traits class:
//   using Curve = ...;                        a Curve2 whose default constructor
//                                             fills the knots (float or double)
//   static constexpr SplineEnds ends = ...;
//   static constexpr SplineFinder finder = ...;
//   static constexpr Curve::Value startSlope = ..., endSlope = ...;
//                                             clamped splines only
// A model's own traits spell these out; the two families below cover the
// shared cases.

// Natural ends, binary search, over any curve.
template <class CurveT> struct SplineCubicNaturalTraits {
    using Curve = CurveT;
    static constexpr SplineEnds ends = SplineEnds::Natural;
    static constexpr SplineFinder finder = SplineFinder::BinarySearch;
};

// Clamped ends and the uniform finder, over a bounds class that names the curve
// (Bounds::Curve) and its end slopes (Bounds::startSlope, Bounds::endSlope).
template <class Bounds> struct SplineCubicUniformLinearTraits {
    using Curve = typename Bounds::Curve;
    static constexpr SplineEnds ends = SplineEnds::Clamped;
    static constexpr SplineFinder finder = SplineFinder::Uniform;
    static constexpr typename Curve::Value startSlope = Bounds::startSlope;
    static constexpr typename Curve::Value endSlope = Bounds::endSlope;
};

} // namespace AudioEngine::AudioMath
