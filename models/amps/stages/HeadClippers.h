#pragma once

#include "models/amps/stages/SplineClipper.h"
#include "models/amps/stages/StageCurveTables.h"
#include "models/amps/stages/UClipper2.h"

// The table-driven tube stages of the three tube heads: each is its curve's
// spline at the stage's drive or bias point.

namespace AudioEngine::BorvanQom::BorvanRKMClassicHeadTraitsDetails::ClipperDetails {

using ClipCurve1 = ClipCurve<StageCurveTables::RKMClassicClipCurve1>;
using ClipCurve2 = ClipCurve<StageCurveTables::RKMClassicClipCurve2>;
using ClipCurve4 = ClipCurve<StageCurveTables::RKMClassicClipCurve4>;

// The stages' bias points.
struct Bias2 {
    static constexpr float value = 1.77745f;
};
struct Bias4 {
    static constexpr float value = 117.755f;
};

// First triode, driven by twice the input; rests at about 222.0 V.
using Clipper1 = SplineClipper<StageCurveTables::RKMClassicClipCurve1, ClipperInput::Twice>;
// Second triode at its bias point; rests at about 226.36 V.
using Clipper2 = SplineClipper<StageCurveTables::RKMClassicClipCurve2, ClipperInput::Biased<Bias2>>;
// Output stage, biased onto the straight continuation above its table (slope
// 0.98): it rests at -3.79163 + 0.98 (117.755 + 8) = 119.448 V, and only
// swings below -125.755 reach the curved part.
using Clipper4 = SplineClipper<StageCurveTables::RKMClassicClipCurve4, ClipperInput::Biased<Bias4>>;

} // namespace AudioEngine::BorvanQom::BorvanRKMClassicHeadTraitsDetails::ClipperDetails

namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails::ClipperDetails {

using ClipCurve1 = ClipCurve<StageCurveTables::RKM4ProClipCurve1>;
using ClipCurve2 = ClipCurve<StageCurveTables::RKM4ProClipCurve2>;

// The second stage's drive and the third stage's bias point.
struct Drive2 {
    static constexpr float value = 0.84881991f;
};
struct Bias3 {
    static constexpr float value = 4.665f;
};

// Rests at 187.1662 V.
using Clipper1 = SplineClipper<StageCurveTables::RKM4ProClipCurve1, ClipperInput::Unchanged>;
// Rests at 134.8188 V.
using Clipper2 = SplineClipper<StageCurveTables::RKM4ProClipCurve2, ClipperInput::Scaled<Drive2>>;
// Rests at 188.70256 V.
using Clipper3 = SplineClipper<StageCurveTables::RKM4ProClipCurve3, ClipperInput::Biased<Bias3>>;

} // namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails::ClipperDetails

namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails {

using ClipCurve1 = ClipCurve<StageCurveTables::V9EClipCurve1>;
using ClipCurve4 = ClipCurve<StageCurveTables::V9EClipCurve4>;

// The first stage's drive and the third stage's bias point.
struct Drive1 {
    static constexpr float value = 3.2f;
};
struct Bias4 {
    static constexpr float value = 117.755f;
};

// First triode, driven by 3.2 times the input; flat beyond its table (354.965
// in cut-off, 38.7294 in saturation); rests at 232.4967 V.
using Clipper1 = SplineClipper<StageCurveTables::V9EClipCurve1, ClipperInput::Scaled<Drive1>>;
// Cathode follower at the same bias as the RKM Classic's output stage; flat
// beyond its table; rests at 120.40674 V.
using Clipper4 = SplineClipper<StageCurveTables::V9EClipCurve4, ClipperInput::Biased<Bias4>>;

} // namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails
