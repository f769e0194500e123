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

// First triode, driven by twice the input; rests at about 222.0 V.
using Clipper1 = SplineClipper<StageCurveTables::RKMClassicClipCurve1, ClipperInput::Twice>;
// Second triode at its bias point; rests at about 226.36 V.
using Clipper2 = SplineClipper<StageCurveTables::RKMClassicClipCurve2, ClipperInput::Biased<1.77745f>>;
// Output stage, biased onto the straight continuation above its table (slope
// 0.98): it rests at -3.79163 + 0.98 (117.755 + 8) = 119.448 V, and only
// swings below -125.755 reach the curved part.
using Clipper4 = SplineClipper<StageCurveTables::RKMClassicClipCurve4, ClipperInput::Biased<117.755f>>;

} // namespace AudioEngine::BorvanQom::BorvanRKMClassicHeadTraitsDetails::ClipperDetails

namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails::ClipperDetails {

using ClipCurve1 = ClipCurve<StageCurveTables::RKM4ProClipCurve1>;
using ClipCurve2 = ClipCurve<StageCurveTables::RKM4ProClipCurve2>;
using ClipCurve3 = ClipCurve<StageCurveTables::RKM4ProClipCurve3>;

// Rests at 187.1662 V.
using Clipper1 = SplineClipper<StageCurveTables::RKM4ProClipCurve1, ClipperInput::Unchanged>;
// Rests at 134.8188 V.
using Clipper2 = SplineClipper<StageCurveTables::RKM4ProClipCurve2, ClipperInput::Scaled<0.84881991f>>;
// Rests at 188.70256 V.
using Clipper3 = SplineClipper<StageCurveTables::RKM4ProClipCurve3, ClipperInput::Biased<4.665f>>;

} // namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails::ClipperDetails

namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails {

using ClipCurve1 = ClipCurve<StageCurveTables::V9EClipCurve1>;
using ClipCurve4 = ClipCurve<StageCurveTables::V9EClipCurve4>;

// First triode, driven by 3.2 times the input; flat beyond its table (354.965
// in cut-off, 38.7294 in saturation); rests at 232.4967 V.
using Clipper1 = SplineClipper<StageCurveTables::V9EClipCurve1, ClipperInput::Scaled<3.2f>>;
// Cathode follower at the same bias as the RKM Classic's output stage; flat
// beyond its table; rests at 120.40674 V.
using Clipper4 = SplineClipper<StageCurveTables::V9EClipCurve4, ClipperInput::Biased<117.755f>>;

} // namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails
