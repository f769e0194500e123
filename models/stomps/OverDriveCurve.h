#pragma once

#include <cstdint>

namespace AudioEngine::BorvanQom::OverDriveTraitsDetails::ClipperDetails {

// The overdrive clipper's transfer curve: `count` samples at x_i = i / 100 over
// [x0, x1], rising strictly from 0 to 0.645502. OverDriveCurve.cpp is written by
// tools/overdrive-curve and never edited by hand.
struct ClipperCurveTable {
    static constexpr std::int32_t count = 101;
    static constexpr float x0 = 0.0f;
    static constexpr float x1 = 1.0f;
    static const float samples[count];
};

} // namespace AudioEngine::BorvanQom::OverDriveTraitsDetails::ClipperDetails
