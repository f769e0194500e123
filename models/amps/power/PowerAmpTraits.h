#pragma once

#include "models/amps/power/PowerAmp.h"
#include "models/amps/power/PowerAmpCurveSets.h"
#include "models/amps/power/PowerAmpFilterPost.h"
#include "models/amps/power/PowerAmpFunction.h"
#include "models/amps/power/PowerAmpLevelBase.h"
#include "models/amps/power/PowerAmpSupplies.h"

// The three tube power amps: the V9E head's 50W and 100W and the RKM Classic
// head's. Their curve sets, grids and supplies are in the model details.

namespace AudioEngine::BorvanQom {

// V9E: 494.5 V of mains at "Variac" 1, the stage's own drive and output scale.
inline constexpr CX2::PowerAmpCalibration kPowerAmpBorvanV9ECalibration{494.5f, -1.0f, -1.0f, 1.0f,
                                                                        0.025f};
// RKM Classic: 665 V of mains, 30 times the drive, the output scaled by 1/73,
// the screens loading the supply at 0.79 of their current.
inline constexpr CX2::PowerAmpCalibration kPowerAmpBorvanRKMClassicCalibration{
    665.0f, -1.0f, -0.79f, 30.0f, 1.0f / 73.0f};

struct PowerAmpBorvanV9E_50WL0Traits {
    using Curve = PowerAmpBorvanV9E_50WTraitsDetails::VOutClipperCurve5;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanV9ECalibration;
};
struct PowerAmpBorvanV9E_50WL1Traits {
    using Grid = PowerAmpBorvanV9E_50WTraitsDetails::Grid;
    using Interpolators = CX2::PowerAmpInterpolators<PowerAmpBorvanV9E_50WTraitsDetails::CurveSet>;
    using KMethod = PowerAmpBorvanV9EDetails::KMethod;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanV9ECalibration;
};
struct PowerAmpBorvanV9E_50WTraits {
    using L0Traits = PowerAmpBorvanV9E_50WL0Traits;
    using L1Traits = PowerAmpBorvanV9E_50WL1Traits;
    using FilterPost = PowerAmpBorvanV9EDetails::FilterPost;
};

struct PowerAmpBorvanV9E_100WL0Traits {
    using Curve = PowerAmpBorvanV9E_100WTraitsDetails::VOutClipperCurve5;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanV9ECalibration;
};
struct PowerAmpBorvanV9E_100WL1Traits {
    using Grid = PowerAmpBorvanV9E_100WTraitsDetails::Grid;
    using Interpolators = CX2::PowerAmpInterpolators<PowerAmpBorvanV9E_100WTraitsDetails::CurveSet>;
    using KMethod = PowerAmpBorvanV9EDetails::KMethod;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanV9ECalibration;
};
struct PowerAmpBorvanV9E_100WTraits {
    using L0Traits = PowerAmpBorvanV9E_100WL0Traits;
    using L1Traits = PowerAmpBorvanV9E_100WL1Traits;
    using FilterPost = PowerAmpBorvanV9EDetails::FilterPost;
};

struct PowerAmpBorvanRKMClassicHeadL0Traits {
    using Curve = PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveBoosted;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanRKMClassicCalibration;
};
struct PowerAmpBorvanRKMClassicHeadL1Traits {
    using Grid = PowerAmpBorvanRKMClassicHeadTraitsDetails::Grid;
    using Interpolators =
        CX2::PowerAmpInterpolators<PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveSet>;
    using KMethod = PowerAmpBorvanRKMClassicHeadTraitsDetails::KMethod;
    static constexpr CX2::PowerAmpCalibration calibration = kPowerAmpBorvanRKMClassicCalibration;
};
struct PowerAmpBorvanRKMClassicHeadTraits {
    using L0Traits = PowerAmpBorvanRKMClassicHeadL0Traits;
    using L1Traits = PowerAmpBorvanRKMClassicHeadL1Traits;
    using FilterPost = PowerAmpBorvanRKMClassicHeadTraitsDetails::FilterPost;
};

// The power amps as the heads create them.
using PowerAmpBorvanV9E_50W = CX2::PowerAmp<PowerAmpBorvanV9E_50WTraits>;
using PowerAmpBorvanV9E_100W = CX2::PowerAmp<PowerAmpBorvanV9E_100WTraits>;
using PowerAmpBorvanRKMClassicHead = CX2::PowerAmp<PowerAmpBorvanRKMClassicHeadTraits>;

} // namespace AudioEngine::BorvanQom
