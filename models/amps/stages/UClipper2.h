#pragma once

#include "models/amps/stages/HardClip.h"

#include <cmath>

namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails {

// The V9E head's second tube stage as a closed-form falling curve of three
// cubic pieces in u = x + 1.82569 (the stage's bias point), flat beyond
// u = -5.75 (354.9645, cut-off) and u = 11.5 (43.9249, saturation). The pieces
// meet at u = 0 (271.4977) and u = 6.5 (131.6618); at x = 0 the stage rests at
// 233.30695, the value its coupling filter is preset to.
//
// Worked in single precision in exactly this order, so that the rest output
// is that preset to the last bit. The clamps of the two outer pieces are the
// branch-free midpoint forms; they are exact while u stays within +-64, and u
// is limited to that first (both pieces are flat long before), so that huge
// inputs, where the sums would round away their small terms, still land on the
// flat ends.
class UClipper2 {
public:
    float operator()(float x) const noexcept
    {
        const float u = hardClip(x + 1.82569f, 64.0f);
        if (u < 0.0f) {
            const float t = (std::fabs(u + 5.75f) - std::fabs(u) - 5.75f) / 2.0f;
            return 0.2496463f * t * t * t + 0.3464166f * t * t - 20.778f * t + 271.4977f;
        }
        if (u <= 6.5f)
            return 271.4977f - ((0.0077294f * u + 0.0628686f) * u * u + 20.778f * u);
        const float v = (11.5f - std::fabs(u - 11.5f) + std::fabs(u - 6.5f) + 6.5f) / 2.0f;
        return 0.500792f * v * v * v - 11.263884f * v * v + 60.380108f * v + 77.5602f;
    }
};

} // namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails::ClipperDetails
