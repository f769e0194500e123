#pragma once

#include "models/amps/stages/SplineClipper.h"
#include "models/amps/stages/StageCurveTables.h"

// The three peak LED variants: the preamp clip LEDs of the RE500 (two stage
// outputs) and the RKM4Pro (three high-pass outputs), and the limiter's LED.
// Each rectifier is the clamped spline of its table, flat at both ends.

namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

using PeakLedRectifierSplineTraits = ClipSplineTraits<StageCurveTables::RE500PeakLedRectifier>;

namespace PeakLedDetails {
using PeakLedRectifier =
    SplineClipper<StageCurveTables::RE500PeakLedRectifier, ClipperInput::Unchanged>;
}

struct PeakLedMeterTraits {
    using Rectifier = PeakLedDetails::PeakLedRectifier;
    static constexpr unsigned inputCount = 2;
    static constexpr float attackMs = 1.0f;
    static constexpr float releaseMs = 80.0f;
    static constexpr float gainDb = 0.0f;
    static constexpr bool hysteresis = true;
};

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails

namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails {

using PeakLedRectifierSplineTraits = ClipSplineTraits<StageCurveTables::RKM4ProPeakLedRectifier>;

namespace PeakLedDetails {
using PeakLedRectifier =
    SplineClipper<StageCurveTables::RKM4ProPeakLedRectifier, ClipperInput::Unchanged>;
}

// The tube stages swing tens of volts: -12 dB (0.2512) brings them onto the
// curve's 0 .. 30 V.
struct PeakLedMeterTraits {
    using Rectifier = PeakLedDetails::PeakLedRectifier;
    static constexpr unsigned inputCount = 3;
    static constexpr float attackMs = 1.0f;
    static constexpr float releaseMs = 80.0f;
    static constexpr float gainDb = -12.0f;
    static constexpr bool hysteresis = true;
};

} // namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails

namespace AudioEngine::BorvanQom::LimiterTraitsDetails {

using PeakLedRectifierSplineTraits = ClipSplineTraits<StageCurveTables::LimiterPeakLedRectifier>;
using PeakLedRectifier =
    SplineClipper<StageCurveTables::LimiterPeakLedRectifier, ClipperInput::Unchanged>;

struct PeakLedMeterTraits {
    using Rectifier = PeakLedRectifier;
    static constexpr unsigned inputCount = 1;
    static constexpr float attackMs = 0.0f;
    static constexpr float releaseMs = 235.0f;
    static constexpr float gainDb = 0.0f;
    static constexpr bool hysteresis = false;
};

} // namespace AudioEngine::BorvanQom::LimiterTraitsDetails
