#pragma once

#include "engine/math/FilterZeroPoleDetails.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::CX1::FilterShelfDetails {

// First-order high shelf (Mitra's allpass-based form) at `frequency` hertz:
//   w = 2 pi f / fs, alpha = (1 - sin w) / cos w, V = 10^(0.05 gain),
//   b0 = (alpha V + V + 1 - alpha) / 2, b1 = (1 - V - alpha V - alpha) / 2,
//   a1 = -alpha,
// unity gain at 0 Hz and V at fs / 2. Worked in single precision with pi the
// float value. alpha = tan(pi/4 - w/2) lies in (-1, 1) for every corner below
// fs / 2, so the pole -a1 is inside the unit circle.
struct ShelfMitraHighToCoeffsZ {
    float frequency;
    float gainDb;

    FilterZeroPoleDetails::CoeffsZ<float> transform(float sampleRate) const
    {
        const float w = 2.0f * std::numbers::pi_v<float> * frequency / sampleRate;
        const float alpha = (1.0f - std::sin(w)) / std::cos(w);
        const auto v = static_cast<float>(std::pow(10.0, 0.05 * gainDb));
        FilterZeroPoleDetails::CoeffsZ<float> z;
        z.b0 = (alpha * v + v + 1.0f - alpha) / 2.0f;
        z.b1 = (1.0f - v - alpha * v - alpha) / 2.0f;
        z.a1 = -alpha;
        return z;
    }
};

} // namespace AudioEngine::CX1::FilterShelfDetails
