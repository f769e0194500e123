#pragma once

#include "engine/math/BiquadFilterDetails.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::FilterHP2Details {

// Second-order high-pass at `frequency` hertz with quality q,
//   H(s) = s^2 / (s^2 + (w / q) s + w^2),  w = 2 fs tan(pi f / fs),
// the corner prewarped so that after the bilinear transform the digital
// response has exactly the gain q (|H| at w) at f, whatever the rate.
struct HP2ToCoeffsZ {
    float frequency;
    float q;

    BiquadFilterDetails::CoeffsS<float> prototype(float sampleRate) const
    {
        const double fs = sampleRate;
        const auto w = static_cast<float>(2.0 * fs * std::tan(std::numbers::pi * frequency / fs));
        return BiquadFilterDetails::CoeffsS<float>(0.0f, 0.0f, 1.0f, w * w, w / q, 1.0f);
    }

    BiquadFilterDetails::CoeffsZ<float> transform(float sampleRate) const
    {
        using Bilinear =
            BiquadFilterDetails::CoeffsSToZBilinear<BiquadFilterDetails::CoeffsZ<float>,
                                                    BiquadFilterDetails::CoeffsS<float>>;
        return Bilinear(prototype(sampleRate)).transform(sampleRate);
    }
};

} // namespace AudioEngine::FilterHP2Details
